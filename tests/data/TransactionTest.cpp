#include "Transaction.h"
#include "FixtureBank.h"
#include "SqlError.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class TransactionTest : public ::testing::Test {
protected:
    void SetUp() override { db = &bank.open().db; }
    void addPaper(int sjID) { db->exec(QStringLiteral("insert into kjks_SJML (sjID) values (?)"), {sjID}); }
    int papers() { return bank.scalar(QStringLiteral("select count(*) from kjks_SJML")).toInt(); }

    FixtureBank bank;
    SqlDatabase *db = nullptr;
};

TEST_F(TransactionTest, CommitKeepsTheUnitAndAFailureUndoesAllOfIt) {
    {
        ScopedTransaction unit(*db);
        addPaper(1);
        addPaper(2);
        unit.commit();
    }
    EXPECT_EQ(papers(), 2);

    // The second insert fails (the key exists): the first of the unit goes with it.
    EXPECT_THROW(
        {
            ScopedTransaction unit(*db);
            addPaper(3);
            addPaper(1);
            unit.commit();
        },
        SqlError);
    EXPECT_EQ(papers(), 2);
    // The connection is usable afterwards, outside any transaction.
    addPaper(4);
    EXPECT_EQ(papers(), 3);
}

TEST_F(TransactionTest, AUnitInsideAnotherGoesWithTheOuterOne) {
    try {
        ScopedTransaction outer(*db);
        addPaper(1);
        {
            ScopedTransaction inner(*db);
            addPaper(2);
            inner.commit();
        }
        throw std::runtime_error("later step failed");
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(papers(), 0);
}

} // namespace
