// The dataset over rows read one at a time, against a plain read of the same statement, and what a
// post that fails leaves behind.

#include "Dataset.h"
#include "FixtureBank.h"
#include "QueryIndexes.h"
#include "SqlError.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

class DatasetKeysetTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Chapter 2 before chapter 1 in key order, two sections, and rows that tie on (zhang, jie).
        bank.addQuestion(11, QStringLiteral("单选题"), 2, 1, QStringLiteral("A"));
        bank.addQuestion(12, QStringLiteral("单选题"), 1, 2, QStringLiteral("B"));
        bank.addQuestion(13, QStringLiteral("单选题"), 1, 1, QStringLiteral("C"));
        bank.addQuestion(14, QStringLiteral("多选题"), 1, 1, QStringLiteral("AB"));
        bank.addQuestion(15, QStringLiteral("单选题"), 1, 2, QStringLiteral("D"));
        bank.addQuestion(16, QStringLiteral("单选题"), 3, 1, QString()); // no answer
        bank.addQuestion(17, QStringLiteral("单选题"), 1, 2, QStringLiteral("A"));
        form = &bank.open();
    }

    // Every row of the statement, read whole by the engine.
    std::vector<std::vector<QVariant>> plainRead(const QString &sql) { return form->db.select(sql); }

    FixtureBank bank;
    BankSession *form = nullptr;
};

const QString kPractice =
    QStringLiteral("select * from kjks_tigan where daan <> \"\" and  tixing = \"单选题\" order by zhang,jie asc");

// Walks a keyed query and the same statement read whole (a subselect is never keyed) through the same
// moves and changes, and compares position and every column at each step.
TEST_F(DatasetKeysetTest, WalkAndPostMatchAWholeRead) {
    enum Op { First, Next, Prior, Last, MoveBy, Post };
    struct Step {
        Op op;
        int arg = 0;
    };
    const std::vector<Step> steps = {{First}, {Next},  {Next}, {Prior},      {MoveBy, 3}, {MoveBy, 10},
                                     {Next},  {Prior}, {Post}, {MoveBy, -2}, {Post, 1},   {MoveBy, -10},
                                     {Prior}, {Last},  {Post}, {First},      {MoveBy, 0}};
    const QString queries[] = {
        QStringLiteral("select * from kjks_tigan where daan <> \"\" order by tigan_id desc"),
        QStringLiteral("select timian,tigan_id, ZQCS from kjks_tigan where tixing <> \"多选题\" order by tigan_id"),
        // A literal that reads like SQL, an unordered statement, and a trailing semicolon.
        QStringLiteral("select * from kjks_tigan where daan <> \"x from y order by z\";"),
        QStringLiteral("select * from kjks_tigan where 1 = 2"),
    };
    for (const QString &sql : queries) {
        SCOPED_TRACE(sql.toStdString());
        Dataset &keyed = form->listQuery;
        Dataset &whole = form->rowQuery;
        keyed.openSql(sql);
        ASSERT_FALSE(keyed.tableName().isEmpty());
        int posted = 0;
        auto reopenWhole = [&] {
            whole.openSql(QStringLiteral("select * from (") + QString(sql).remove(QLatin1Char(';')) + QLatin1Char(')'));
            ASSERT_TRUE(whole.tableName().isEmpty());
            whole.moveBy(keyed.recNo() - 1);
        };
        reopenWhole();
        ASSERT_EQ(keyed.recordCount(), int(plainRead(QString(sql).remove(QLatin1Char(';'))).size()));
        for (const Step &s : steps) {
            for (Dataset *d : {&keyed, &whole}) {
                switch (s.op) {
                case First:
                    d->first();
                    break;
                case Next:
                    d->next();
                    break;
                case Prior:
                    d->prior();
                    break;
                case Last:
                    d->last();
                    break;
                case MoveBy:
                    d->moveBy(s.arg);
                    break;
                case Post:
                    break;
                }
            }
            if (s.op == Post && !keyed.isEmpty()) {
                // A changed counter, and (arg 1) a changed column the statement orders by.
                keyed.edit();
                keyed.setValue(QStringLiteral("ZQCS"), ++posted);
                if (s.arg == 1 && keyed.hasField(QStringLiteral("zhang"))) keyed.setValue(QStringLiteral("zhang"), 9);
                keyed.post();
                reopenWhole();
            }
            ASSERT_EQ(keyed.recNo(), whole.recNo());
            if (s.op != Post) {
                ASSERT_EQ(keyed.eof(), whole.eof());
                ASSERT_EQ(keyed.bof(), whole.bof());
            }
            for (const char *column : {"tigan_id", "timian", "zhang", "ZQCS", "daan"}) {
                const QString name = QString::fromLatin1(column);
                if (!keyed.hasField(name)) continue;
                EXPECT_EQ(keyed.value(name), whole.value(name)) << column << " at row " << keyed.recNo();
            }
        }
    }
}

TEST_F(DatasetKeysetTest, KeysComeInTheStatementsOrderAndTiesInKeyOrder) {
    Dataset &q = form->listQuery;
    q.openSql(kPractice);
    EXPECT_EQ(bank.statements, QStringList{kPractice}); // the statement's own text is what is traced
    QList<int> ids;
    for (q.first(); !q.eof(); q.next())
        ids << q.asInteger(QStringLiteral("tigan_id"));
    EXPECT_EQ(ids, QList<int>({13, 12, 15, 17, 11}));
    // Without an order: key order.
    q.openSql(QStringLiteral("select tigan_id from kjks_tigan where daan <> \"\" and zhang = 1"));
    ids.clear();
    for (q.first(); !q.eof(); q.next())
        ids << q.asInteger(QStringLiteral("tigan_id"));
    EXPECT_EQ(ids, QList<int>({12, 13, 14, 15, 17}));
    // A row read after the keys were taken shows the bank as it is now; a row gone reads empty.
    q.openSql(kPractice);
    bank.exec(QStringLiteral("update kjks_tigan set ZQCS = 7 where tigan_id = 12"));
    bank.exec(QStringLiteral("delete from kjks_tigan where tigan_id = 15"));
    q.next();
    EXPECT_EQ(q.asInteger(QStringLiteral("ZQCS")), 7);
    q.next();
    EXPECT_EQ(q.recordCount(), 5);
    EXPECT_TRUE(q.isNull(QStringLiteral("tigan_id")));
    EXPECT_EQ(q.asString(QStringLiteral("daan")), QString());
}

// Order values of every storage class the order puts apart: nulls first (in either column),
// numbers (a real among the integers), then texts, and ties on both columns.
BankSession &mixOrderValues(FixtureBank &bank) {
    for (int id = 21; id <= 30; ++id)
        bank.addQuestion(id, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    BankSession &form = bank.open();
    bank.exec(QStringLiteral("update kjks_tigan set zhang = null where tigan_id in (21, 24)"));
    bank.exec(QStringLiteral("update kjks_tigan set jie = null where tigan_id in (22, 24, 25)"));
    bank.exec(QStringLiteral("update kjks_tigan set zhang = 1.5 where tigan_id = 26"));
    bank.exec(QStringLiteral("update kjks_tigan set zhang = 'x' where tigan_id in (27, 28)"));
    bank.exec(QStringLiteral("update kjks_tigan set jie = 'y' where tigan_id = 28"));
    bank.exec(QStringLiteral("update kjks_tigan set zhang = 2, jie = null where tigan_id = 29"));
    return form;
}

QList<int> idsInOrder(Dataset &q) {
    QList<int> ids;
    for (q.first(); !q.eof(); q.next())
        ids << q.asInteger(QStringLiteral("tigan_id"));
    return ids;
}

// A windowed keyset gives the rows a whole read gives, in the same order, however it is walked:
// from its start, and from every row it can be started at, back to the start and on to the end.
TEST_F(DatasetKeysetTest, AWindowedKeysetReadsTheOrderOfAWholeRead) {
    form = &mixOrderValues(bank);
    const QString queries[] = {
        kPractice,
        QStringLiteral("select * from kjks_tigan where daan <> \"\" order by zhang,jie asc"),
        QStringLiteral("select tigan_id, jie from kjks_tigan where tigan_id > 12 order by jie"),
        QStringLiteral("select * from kjks_tigan where daan <> \"\""), // key order
        QStringLiteral("select * from kjks_tigan where 1 = 2"),
    };
    Dataset &whole = form->rowQuery;
    Dataset &windowed = form->listQuery;
    for (const QString &sql : queries) {
        whole.openSql(sql);
        const QList<int> expected = idsInOrder(whole);
        for (int window : {1, 2, 3, 50}) {
            SCOPED_TRACE(qPrintable(sql + QStringLiteral(" window ") + QString::number(window)));
            windowed.openWindowed(sql, window);
            EXPECT_EQ(idsInOrder(windowed), expected);
            EXPECT_EQ(windowed.recordCount(), expected.size());
            for (int start : expected) {
                windowed.openWindowed(sql, window);
                ASSERT_TRUE(windowed.seekFirst(QStringLiteral("tigan_id = ?"), {start}));
                EXPECT_EQ(windowed.bof(), start == expected.first());
                EXPECT_FALSE(windowed.eof());
                QList<int> ids = {windowed.asInteger(QStringLiteral("tigan_id"))};
                while (windowed.prior())
                    ids.prepend(windowed.asInteger(QStringLiteral("tigan_id")));
                EXPECT_TRUE(windowed.bof());
                windowed.moveBy(ids.size() - 1);
                while (windowed.next())
                    ids << windowed.asInteger(QStringLiteral("tigan_id"));
                EXPECT_TRUE(windowed.eof());
                EXPECT_EQ(ids, expected) << "started at " << start;
            }
            EXPECT_FALSE(windowed.seekFirst(QStringLiteral("tigan_id = 999")));
        }
    }
}

// What the learner has seen stays in the set: questions answered in a set of unanswered ones are
// still there when the learner moves back, while those not yet reached are read as they are now.
// Each post writes the row shown.
TEST_F(DatasetKeysetTest, AWindowedKeysetKeepsTheRowsItRead) {
    const QString fresh = QStringLiteral("select * from kjks_tigan where daan <> \"\" and  tixing = \"单选题\" and "
                                         "YDCS <> \"1\" order by zhang,jie asc");
    Dataset &q = form->listQuery;
    q.openWindowed(fresh, 2);
    ASSERT_TRUE(q.bof());
    QList<int> seen;
    for (int i = 0; i < 3; ++i, q.next()) {
        seen << q.asInteger(QStringLiteral("tigan_id"));
        q.edit();
        q.setValue(QStringLiteral("YDCS"), QStringLiteral("1"));
        q.post();
        EXPECT_EQ(
            bank.scalar(QStringLiteral("select YDCS from kjks_tigan where tigan_id = %1").arg(seen.last())).toString(),
            QStringLiteral("1"));
    }
    EXPECT_EQ(seen, QList<int>({13, 12, 15}));
    bank.exec(QStringLiteral("update kjks_tigan set YDCS = '1' where tigan_id = 11")); // not read yet
    EXPECT_EQ(q.asInteger(QStringLiteral("tigan_id")), 17);
    EXPECT_FALSE(q.next());
    EXPECT_TRUE(q.eof());
    QList<int> back;
    while (q.prior())
        back.prepend(q.asInteger(QStringLiteral("tigan_id")));
    EXPECT_EQ(back, QList<int>({13, 12, 15}));
    EXPECT_EQ(bank.scalar(QStringLiteral("select count(*) from kjks_tigan where YDCS = '1'")).toInt(), 4);
}

TEST_F(DatasetKeysetTest, OtherStatementsAreReadWholeAndCannotBeChanged) {
    Dataset &q = form->listQuery;
    for (const char *sql :
         {"select count(*) as total from kjks_tigan where daan <> \"\"",
          "select t.tigan_id from kjks_tigan t where t.zhang = 1", "select distinct zhang from kjks_tigan",
          "select tigan_id from kjks_tigan where zhang = 1 limit 2",
          "select * from kjks_tigan where tigan_id in (select tigan_ID from kjks_xuanxiang)"}) {
        SCOPED_TRACE(sql);
        q.openSql(QString::fromUtf8(sql));
        EXPECT_TRUE(q.tableName().isEmpty());
        EXPECT_GT(q.recordCount(), 0);
        EXPECT_THROW(q.append(), SqlError);
    }
}

// A post that fails must not leave its values behind for the next post, on this row or another.
TEST_F(DatasetKeysetTest, AFailedPostDropsItsChange) {
    enum Then { EditSameRow, MoveAndEdit, EditAfterMove };
    for (Then then : {EditSameRow, MoveAndEdit, EditAfterMove}) {
        SCOPED_TRACE(int(then));
        bank.exec(QStringLiteral("drop trigger if exists refuse_13"));
        bank.exec(QStringLiteral("update kjks_tigan set ZONGCS = 0, DDCS = '0'"));
        bank.exec(QStringLiteral("create trigger refuse_13 before update on kjks_tigan when old.tigan_id = 13"
                                 " begin select raise(abort, 'refused'); end"));
        Dataset &q = form->listQuery;
        q.openSql(kPractice); // row 1 is question 13
        q.edit();
        q.setValue(QStringLiteral("ZONGCS"), 1);
        try {
            q.post();
            FAIL() << "the post went through";
        } catch (const PostError &e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("本次更改未能保存到题库"))) << qPrintable(e.message());
            EXPECT_TRUE(e.engineMessage().contains(QStringLiteral("refused")));
        }
        EXPECT_FALSE(q.editing());
        EXPECT_EQ(q.asInteger(QStringLiteral("ZONGCS")), 0);
        if (then == EditSameRow) {
            bank.exec(QStringLiteral("drop trigger refuse_13"));
            q.edit();
        } else if (then == MoveAndEdit) {
            q.next();
            q.edit();
        } else {
            q.edit();
            q.next(); // posts the (empty) change, moves
            q.edit();
        }
        q.setValue(QStringLiteral("DDCS"), QStringLiteral("1"));
        q.post();
        EXPECT_EQ(bank.scalar(QStringLiteral("select sum(ZONGCS) from kjks_tigan")).toInt(), 0);
        EXPECT_EQ(bank.scalar(QStringLiteral("select count(*) from kjks_tigan where DDCS = '1'")).toInt(), 1);
    }
}

TEST_F(DatasetKeysetTest, AMovePostsAPendingChangeFirst) {
    Dataset &q = form->listQuery;
    q.openSql(kPractice);
    q.edit();
    q.setValue(QStringLiteral("ZQCS"), 4);
    q.next();
    EXPECT_FALSE(q.editing());
    EXPECT_EQ(q.asInteger(QStringLiteral("tigan_id")), 12);
    EXPECT_EQ(q.asInteger(QStringLiteral("ZQCS")), 0);
    EXPECT_EQ(bank.scalar(QStringLiteral("select ZQCS from kjks_tigan where tigan_id = 13")).toInt(), 4);

    // A move whose post fails stays where it was, and the change is gone.
    bank.exec(QStringLiteral("create trigger refuse_12 before update on kjks_tigan when old.tigan_id = 12"
                             " begin select raise(abort, 'refused'); end"));
    q.edit();
    q.setValue(QStringLiteral("ZQCS"), 5);
    EXPECT_THROW(q.next(), PostError);
    EXPECT_EQ(q.recNo(), 2);
    EXPECT_FALSE(q.editing());
    q.next();
    EXPECT_EQ(q.recNo(), 3);
    EXPECT_EQ(bank.scalar(QStringLiteral("select sum(ZQCS) from kjks_tigan")).toInt(), 4);
}

TEST_F(DatasetKeysetTest, EveryStatementOfAPostIsTracedAndItJoinsAnOpenTransaction) {
    Dataset &q = form->listQuery;
    q.openSql(QStringLiteral("select * from kjks_tigan where tigan_id = 13"));
    bank.statements.clear();
    q.edit();
    q.setValue(QStringLiteral("ZQCS"), 2);
    q.post();
    EXPECT_EQ(bank.statements, QStringList({QStringLiteral("update kjks_tigan set \"ZQCS\" = ? where _rowid_ = ?"),
                                            QStringLiteral("select * from kjks_tigan where _rowid_ = ?")}));
    // No transaction of its own: inside an outer one it is undone with it.
    form->db.exec(QStringLiteral("begin"));
    q.edit();
    q.setValue(QStringLiteral("ZQCS"), 3);
    q.post();
    EXPECT_EQ(q.asInteger(QStringLiteral("ZQCS")), 3);
    form->db.exec(QStringLiteral("rollback"));
    EXPECT_EQ(bank.scalar(QStringLiteral("select ZQCS from kjks_tigan where tigan_id = 13")).toInt(), 2);
}

// Another writer (a second copy of the program, a backup tool) holds the bank.
TEST_F(DatasetKeysetTest, AnotherWriterIsWaitedForThenReported) {
    SqlDatabase other;
    other.open(form->db.path(), QString::fromLatin1(kBankPassword));
    Dataset &q = form->listQuery;
    q.openSql(kPractice);

    // Released within the busy time-out: the post waits and goes through.
    other.exec(QStringLiteral("begin immediate"));
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.exec(QStringLiteral("commit"));
    });
    q.edit();
    q.setValue(QStringLiteral("ZQCS"), 1);
    EXPECT_NO_THROW(q.post());
    release.join();
    EXPECT_EQ(bank.scalar(QStringLiteral("select ZQCS from kjks_tigan where tigan_id = 13")).toInt(), 1);

    // Held longer: the post fails with a message for the learner and its change is dropped.
    other.exec(QStringLiteral("begin immediate"));
    form->db.setBusyTimeout(50);
    q.edit();
    q.setValue(QStringLiteral("ZQCS"), 2);
    try {
        q.post();
        FAIL() << "the post went through";
    } catch (const PostError &e) {
        EXPECT_TRUE(e.busy());
        EXPECT_EQ(e.message(), QStringLiteral("本次更改未能保存到题库：题库正被其他程序使用，请稍后再试。"));
    }
    other.exec(QStringLiteral("commit"));
    EXPECT_FALSE(q.editing());
    EXPECT_EQ(bank.scalar(QStringLiteral("select ZQCS from kjks_tigan where tigan_id = 13")).toInt(), 1);
}

// The program's counts and lists are answered from indexes, without the rows' long texts; a bank
// made without the indexes gets them when it is opened, and a bank that has them is not written.
TEST_F(DatasetKeysetTest, CountsAreAnsweredFromIndexesAddedToBanksMadeElsewhere) {
    const QString path = form->db.path();
    {
        SqlDatabase db;
        db.open(path, QString::fromLatin1(kBankPassword));
        for (const auto &row : db.select(QStringLiteral("select name from sqlite_master where type = 'index'"
                                                        " and sql is not null")))
            db.exec(QStringLiteral("drop index ") + row[0].toString());
        EXPECT_EQ(CreateMissingQueryIndexes(db), 13);
        EXPECT_EQ(CreateMissingQueryIndexes(db), 0);
        db.exec(QStringLiteral("drop index kjks_tigan_progress"));
    }
    BankSession reopened;
    reopened.OpenBank(path);
    const QString counts[] = {
        QStringLiteral("select count(*) as total from kjks_tigan where daan <> \"\""),
        QStringLiteral(
            "select count(*) as total from kjks_tigan where daan <> \"\" and YDCS = \"0\" and zhang = 1 and jie = 2"),
        QStringLiteral(
            "select count(tigan_id) from kjks_tigan where daan <> \"\" and  tixing = \"单选题\" and DDCS = \"1\""),
        QStringLiteral("SELECT count(tigan_id) from  kjks_tigan  where daan <> \"\" and   shoucang = \"1\" and tixing "
                       "= \"单选题\""),
        QStringLiteral("select count(ID) from zongtigan where daan <> \"\" and   DDCS = \"1\""),
        QStringLiteral("select count(*) from kjks_tigan where flag_state <> 1 and daan <> \"\" and  tixing = '单选题' "
                       "and  shijuan = '随机'"),
        QStringLiteral("select _rowid_, zhang, jie from kjks_tigan where daan <> \"\" and  tixing = \"单选题\" and "
                       "YDCS <> \"1\" order by zhang,jie asc, _rowid_"),
        QStringLiteral("select _rowid_, tigan_id from kjks_tigan where daan <> \"\" and DDCS = \"1\"  order by "
                       "tigan_id asc, _rowid_"),
    };
    for (const QString &sql : counts) {
        const auto plan = reopened.db.select(QStringLiteral("explain query plan ") + sql);
        ASSERT_FALSE(plan.empty());
        for (const auto &step : plan)
            EXPECT_TRUE(step.back().toString().contains(QStringLiteral("COVERING INDEX")) ||
                        step.back().toString().contains(QStringLiteral("TEMP B-TREE")))
                << qPrintable(sql) << "\n"
                << qPrintable(step.back().toString());
    }
}

} // namespace
