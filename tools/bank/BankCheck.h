#pragma once

#include "BankModel.h"

#include <QString>
#include <QStringList>

// `kjks-bank check`: the mechanical rules of a built bank. Every encoded text decodes, every row
// keeps the content rules (BankRules.h), the practice answer row exists, and exam profile 1 can
// draw a whole paper: each section finds enough eligible rows for the random draw to finish.
// Returns one line per problem; empty when the bank is sound.
QStringList CheckBank(const QString &bankPath);

// The exam profile part of the check over a model.
QStringList CheckExamProfile(const BankModel &model);
