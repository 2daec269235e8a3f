#pragma once

#include "BankModel.h"
#include "BankRules.h"

#include <QString>

// Writes a model as a bank source folder (docs/bank-format.md): bank.txt, questions/chNN.txt (one
// file per chapter, each case followed by its sub-questions; a chapter that would make a file larger
// than `fileLimit`, which the build refuses, goes on in questions/chNN_2.txt, chNN_3.txt, ...), pictures/ named after
// their rows, and papers.txt when the bank holds papers or a used scratch row. Reading the folder back gives the same
// model. OUT_DIR must not exist or be empty; the folder appears whole or not at all. Throws KjksError.
void ExportBankSource(const BankModel &model, const QString &outDir, qint64 fileLimit = kMaxSourceFileBytes);

// The same straight from a bank file, row by row, so that a large bank is never held whole. A text
// that does not decode keeps its stored form and is listed in *undecodable.
struct ExportCounts {
    qint64 questions = 0;
    qint64 stems = 0;
};
ExportCounts ExportBank(const QString &bankPath, const QString &outDir, std::vector<BankProblem> *undecodable,
                        qint64 fileLimit = kMaxSourceFileBytes);
