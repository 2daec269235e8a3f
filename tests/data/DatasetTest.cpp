#include "Dataset.h"
#include "FixtureBank.h"
#include "QuestionText.h"
#include "SqlError.h"

#include <gtest/gtest.h>

namespace {

class DatasetTest : public ::testing::Test {
protected:
    void SetUp() override {
        bank.addQuestion(11, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
        bank.addQuestion(12, QStringLiteral("单选题"), 1, 2, QStringLiteral("B"));
        bank.addQuestion(13, QStringLiteral("多选题"), 1, 2, QStringLiteral("AC"));
        form = &bank.open();
    }
    FixtureBank bank;
    BankSession *form = nullptr;
};

TEST_F(DatasetTest, WalksRowsAndReadsColumnsByAnyCase) {
    Dataset &q = form->listQuery;
    q.openSql(
        QStringLiteral("select * from kjks_tigan where daan <> \"\" and  tixing = \"单选题\" order by zhang,jie asc"));
    EXPECT_EQ(
        bank.statements.last(),
        QStringLiteral("select * from kjks_tigan where daan <> \"\" and  tixing = \"单选题\" order by zhang,jie asc"));
    ASSERT_EQ(q.recordCount(), 2);
    EXPECT_TRUE(q.bof());
    EXPECT_FALSE(q.eof());
    EXPECT_EQ(q.asInteger(QStringLiteral("tigan_id")), 11);
    EXPECT_EQ(q.asString(QStringLiteral("TIGAN_ID")), QStringLiteral("11"));
    EXPECT_EQ(q.asString(QStringLiteral("ydcs")), QStringLiteral("0"));
    EXPECT_EQ(DecodeQuestionText(q.asString(QStringLiteral("timian"))), QStringLiteral("题目11"));
    q.next();
    EXPECT_EQ(q.asInteger(QStringLiteral("tigan_ID")), 12);
    q.next();
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.asInteger(QStringLiteral("tigan_id")), 12); // stays on the last row
    q.prior();
    q.prior();
    EXPECT_EQ(q.asInteger(QStringLiteral("tigan_id")), 11);
    q.moveBy(1);
    EXPECT_EQ(q.recNo(), 2);
    EXPECT_THROW(q.asString(QStringLiteral("no_such_column")), SqlError);
}

TEST_F(DatasetTest, EmptyResultReadsEmptyOrZero) {
    Dataset &q = form->listQuery;
    q.openSql(QStringLiteral("select * from kjks_tigan where tigan_id = 999"));
    EXPECT_TRUE(q.eof());
    EXPECT_TRUE(q.bof());
    EXPECT_EQ(q.recordCount(), 0);
    EXPECT_EQ(q.asString(QStringLiteral("daan")), QString());
    EXPECT_EQ(q.asInteger(QStringLiteral("ZQCS")), 0);
    EXPECT_EQ(q.asDouble(QStringLiteral("ZQCS")), 0.0);
    EXPECT_TRUE(q.asBytes(QStringLiteral("tmimage")).isEmpty());
}

TEST_F(DatasetTest, EditPostsExactlyTheCurrentRowAtOnce) {
    Dataset &q = form->listQuery;
    q.openSql(QStringLiteral("select * from kjks_tigan where daan <> \"\" order by tigan_id asc"));
    q.next();
    q.edit();
    q.setValue(QStringLiteral("YDCS"), QStringLiteral("1"));
    q.setValue(QStringLiteral("zqcs"), 3);
    q.post();
    EXPECT_EQ(q.asString(QStringLiteral("YDCS")), QStringLiteral("1"));
    // Another connection sees the change at once: the post committed.
    SqlDatabase other;
    other.open(form->db.path(), QString::fromLatin1(kBankPassword));
    const auto rows = other.select(QStringLiteral("select tigan_id, YDCS, ZQCS from kjks_tigan order by tigan_id"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][1].toString(), QStringLiteral("0"));
    EXPECT_EQ(rows[1][1].toString(), QStringLiteral("1"));
    EXPECT_EQ(rows[1][2].toInt(), 3);
    EXPECT_EQ(rows[2][1].toString(), QStringLiteral("0"));
}

TEST_F(DatasetTest, AppendAndEditOnEmptyResultInsert) {
    Dataset &q = form->listQuery;
    q.openSql(QStringLiteral("select * from shijuan where 1 = 2"));
    q.append();
    q.setValue(QStringLiteral("sjID"), 11);
    q.setValue(QStringLiteral("xth"), 1);
    q.setValue(QStringLiteral("tixing"), QStringLiteral("单选题"));
    q.post();
    EXPECT_GT(q.asInteger(QStringLiteral("ID")), 0); // auto-numbered, read back

    q.openSql(QStringLiteral("select * from kjks_SJML where 1 =2"));
    q.edit(); // empty result: starts a new row
    q.setValue(QStringLiteral("sjID"), 12);
    q.setValue(QStringLiteral("DTKSSJ"), QDateTime(QDate(2026, 5, 16), QTime(9, 30, 5)));
    q.post();
    EXPECT_EQ(q.asInteger(QStringLiteral("flag_state")), 0); // the column's default
    EXPECT_EQ(bank.scalar(QStringLiteral("select DTKSSJ from kjks_SJML where sjID = 12")).toString(),
              QStringLiteral("2026-05-16 09:30:05"));
    EXPECT_EQ(q.asDateTime(QStringLiteral("DTKSSJ")), QDateTime(QDate(2026, 5, 16), QTime(9, 30, 5)));
    EXPECT_EQ(bank.scalar(QStringLiteral("select count(*) from shijuan where sjID = 11 and xth = 1")).toInt(), 1);
}

TEST_F(DatasetTest, EngineErrorsCarryTheEngineMessage) {
    try {
        form->listQuery.openSql(QStringLiteral("select * from no_such_table"));
        FAIL();
    } catch (const SqlError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("no such table"))) << qPrintable(e.message());
    }
    try {
        form->listQuery.openSql(QStringLiteral("select count(*) as total from kjks_tigan"));
        form->listQuery.edit();
        form->listQuery.setValue(QStringLiteral("total"), 1);
        form->listQuery.post();
        FAIL();
    } catch (const SqlError &) {
    }
}

TEST_F(DatasetTest, SplicedValuesCannotEndTheirLiteral) {
    EXPECT_EQ(SqlValue(QStringLiteral("随机")), QStringLiteral("随机"));
    const QString hostile = QStringLiteral("x\" or \"1\" = \"1");
    form->listQuery.openSql(QStringLiteral("select * from kjks_tigan where tixing = \"") + SqlValue(hostile) +
                            QStringLiteral("\""));
    EXPECT_EQ(form->listQuery.recordCount(), 0);
    form->listQuery.openSql(QStringLiteral("select * from sys_option where option_name = '") +
                            SqlValue(QStringLiteral("a' or '1'='1"), QLatin1Char('\'')) + QStringLiteral("'"));
    EXPECT_EQ(form->listQuery.recordCount(), 0);
}

TEST_F(DatasetTest, CountQueriesReadTheirAlias) {
    Dataset &q = form->rowQuery;
    q.openSql(QStringLiteral("select count(*) as total from kjks_tigan where daan <> \"\" and zhang = 01"));
    EXPECT_EQ(q.asInteger(QStringLiteral("total")), 3);
    q.openSql(QStringLiteral("select max(sjID) from kjks_SJML"));
    EXPECT_TRUE(q.firstValue().isNull()); // an empty catalogue's maximum is NULL
}

} // namespace
