#pragma once

#include "BankModel.h"

#include <QString>
#include <QStringList>

// `kjks-bank check`: the mechanical rules of a built bank. Every encoded text decodes, every row
// keeps the content rules (BankRules.h), the practice answer row exists, and exam profile 1 can
// draw a whole paper: each section finds enough eligible rows for the random draw to finish.
// Returns one line per problem; empty when the bank is sound.
QStringList CheckBank(const QString &bankPath);

// The prefix of a line that reports what the program tolerates (it falls back to a default), as
// opposed to a problem: warnings alone leave the check successful.
QString kCheckWarning();

// The exam's options in sys_option (length in minutes, scoring rule): an invalid value is a warning.
QStringList CheckExamOptions(const BankModel &model);

// The exam profile part of the check over a model.
QStringList CheckExamProfile(const BankModel &model);
