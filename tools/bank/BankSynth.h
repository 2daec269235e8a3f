#pragma once

#include "BankModel.h"
#include "BankReader.h"

#include <QtGlobal>

// A synthetic bank for benchmarks and tests: `questions` rows of kjks_tigan spread over eight
// chapters and their sections and over every kind (single, multiple, true/false, 实操题 and case
// sub-questions five to a stem), with options, explanations of typical length, some pictures, some
// progress and exam profile 1 sized to what the bank can draw. The same seed gives the same bank.
BankModel SyntheticBank(int questions, quint32 seed = 1);

// The same bank row by row, for banks too large to hold: the options and chapters go to
// visitor.head(), then every question in id order and each case once its sub-questions are made.
// Returns the small tables (options, chapters and exam profile 1, which is sized last).
BankModel SyntheticBankRows(int questions, quint32 seed, BankRowVisitor &visitor);
