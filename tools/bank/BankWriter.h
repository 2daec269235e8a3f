#pragma once

#include "BankModel.h"

#include <QString>
#include <memory>
#include <vector>

class SqlDatabase;

// Writes the model as a new encrypted bank at `path`: built in a temporary file beside it and
// renamed over it only when everything succeeded, so no half-written bank is ever left behind.
// Throws KjksError (or SqlError) with a message naming what failed.
void WriteBank(const BankModel &model, const QString &path);

// A bank written row by row, so that a large one is never held whole: built in a temporary file
// beside `path` and renamed over it by commit(); dropped without commit (a failure, or a source
// found faulty), it leaves nothing behind. Throws KjksError (or SqlError) naming what failed.
class BankFileWriter {
public:
    // `questionsInIdOrder` false: the options are held back in the file and numbered in question
    // order at commit, as a bank written from rows in id order numbers them.
    BankFileWriter(const QString &path, bool questionsInIdOrder);
    ~BankFileWriter();
    BankFileWriter(const BankFileWriter &) = delete;
    BankFileWriter &operator=(const BankFileWriter &) = delete;

    void head(const BankModel &head); // options, profiles and chapters of `head`
    void question(const BankQuestion &q);
    void stem(const BankStem &s);
    void stemAnswer(int stemId, const QString &daan);
    void papers(const std::vector<BankPaper> &papers, const std::vector<BankPaperItem> &items);
    // The practice answer row is added unless the items hold one or `addScratchRow` is false.
    void commit(bool addScratchRow);

private:
    struct State;
    std::unique_ptr<State> d;
};
