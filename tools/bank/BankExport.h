#pragma once

#include "BankModel.h"

#include <QString>

// Writes a model as a bank source folder (docs/bank-format.md): bank.txt, questions/chNN.txt (one
// file per chapter, each case followed by its sub-questions), pictures/ named after their rows, and
// papers.txt when the bank holds papers or a used scratch row. Reading the folder back gives the
// same model. OUT_DIR must not exist or be empty; the folder appears whole or not at all.
// Throws KjksError.
void ExportBankSource(const BankModel &model, const QString &outDir);
