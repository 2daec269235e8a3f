#pragma once

#include "BankModel.h"

#include <QByteArray>
#include <QStringList>

// `kjks-bank export --csv`: the bank's questions and cases in the spreadsheet form that `import`
// reads (UTF-8 with a byte-order mark so that Excel opens it right, CRLF between rows). Questions
// come in chapter and section order, each case followed by its sub-questions, so that importing
// the file and exporting the result gives the same file. What the form cannot carry (pictures, the
// second text, withdrawn options, progress, papers, the exam settings) is listed in *notes.
QByteArray BankToCsv(const BankModel &model, QStringList *notes);
