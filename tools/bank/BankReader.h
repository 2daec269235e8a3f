#pragma once

#include "BankModel.h"
#include "BankRules.h"

#include <QString>
#include <vector>

class SqlDatabase;

// Reads a built bank back into a BankModel with every encoded text decoded, rows in key order and
// options in xuanxiang_id order, so that WriteBank of the result gives the same rows again.
//
// Without `textProblems` a text that does not decode throws KjksError naming its row. With it, every
// encoded text is checked strictly (hexadecimal throughout, deciphers, GBK, length field) and each
// failure is recorded there instead, the text being left empty.
BankModel ReadBank(const QString &bankPath, std::vector<BankProblem> *textProblems = nullptr);
BankModel ReadBank(SqlDatabase &db, std::vector<BankProblem> *textProblems = nullptr);

// Receives a bank's rows one at a time, each table in key order, so that a large bank is never held
// whole.
class BankRowVisitor {
public:
    virtual ~BankRowVisitor() = default;
    // The small tables (options, profiles, chapters), before any row.
    virtual void head(const BankModel &) {}
    // The questions, each with its options, then the cases.
    virtual void question(BankQuestion &&q) = 0;
    virtual void stem(BankStem &&s) = 0;
};

// ReadBank row by row: hands the questions and cases to `visitor` and returns the rest (options,
// profiles, chapters, papers, paper items). Unreadable texts are reported as by ReadBank: the
// questions', then the options' (in their stored order), then the cases'.
BankModel ReadBankRows(SqlDatabase &db, std::vector<BankProblem> *textProblems, BankRowVisitor &visitor);

// Every field of the tables the program reads that is longer than the tool's limits (BankRules.h),
// found from the lengths alone. ReadBank refuses a bank that has any.
std::vector<BankProblem> OversizeFields(SqlDatabase &db);
