// The chapter tree's kept counts: equal to a full count of the questions after every kind of write,
// made again when a bank comes without them, and rolled back with a failed answer.

#include "ProgressCounts.h"
#include "AnswerChecks.h"
#include "BankCopy.h"
#include "BankSession.h"
#include "Dataset.h"
#include "ExamProfile.h"
#include "FixtureBank.h"
#include "LearnerProgress.h"
#include "MainQueries.h"
#include "QuestionTypes.h"
#include "SqlDatabase.h"
#include "StudyStatistics.h"
#include "Transaction.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace {

const QString kCaseStems = QStringLiteral("不定项选择题");
const QString kOperation = QStringLiteral("电算化操作题");

// Chapter and section as the tree pastes them: whole bank, chapters, sections (one empty).
const std::pair<const char *, const char *> kScopes[] = {{"", ""},   {"01", ""},   {"01", "01"}, {"01", "02"},
                                                         {"02", ""}, {"02", "01"}, {"03", ""},   {"01", "09"}};

int firstInteger(SqlDatabase &db, const QString &sql) {
    return db.select(sql)[0][0].toInt();
}

// The tree's numbers for every scope and both kinds of fourth type, counted from the question
// tables as the page always did, and from the kept counts; "" when they agree.
QString treeDisagreement(Dataset &query, SqlDatabase &db) {
    QString out;
    for (const QString &fourth : {kCaseStems, kOperation}) {
        const bool stems = FourthKindOf(fourth) == FourthKind::CaseStem;
        for (const auto &[chapterCode, sectionCode] : kScopes) {
            const QString chapter = QString::fromLatin1(chapterCode), section = QString::fromLatin1(sectionCode);
            int full[2] = {0, 0};
            for (bool unansweredOnly : {false, true}) {
                int &n = full[unansweredOnly];
                n = firstInteger(db, ProgressCountSql(fourth, unansweredOnly, chapter, section));
                if (stems) n += firstInteger(db, StemProgressCountSql(unansweredOnly, chapter, section));
            }
            const ChapterProgress kept = CountChapterProgress(query, db, fourth, chapter, section);
            if (kept.done != full[0] - full[1] || kept.remaining != full[1])
                out += QStringLiteral("%1 %2/%3: kept %4+%5, counted %6+%7\n")
                           .arg(fourth, chapter, section)
                           .arg(kept.done)
                           .arg(kept.remaining)
                           .arg(full[0] - full[1])
                           .arg(full[1]);
        }
    }
    return out;
}

// Practice's check of one row: its counters after a right or wrong answer, in one post.
void check(Dataset &row, const QString &sql, bool right) {
    row.openSql(sql);
    const QuestionStats before = ReadStats(row);
    WriteStats(row, before, AfterCheck(before, right));
}

// Two chapters of every counted type, case sub-questions (never counted), a question without an
// answer, and case stems with and without one.
class ProgressCountsTest : public ::testing::Test {
protected:
    void SetUp() override {
        int id = 100;
        for (int zhang : {1, 2})
            for (int jie : {1, 2})
                for (const char *type : {"单选题", "多选题", "判断题", "实操题"})
                    bank.addQuestion(++id, QString::fromUtf8(type), zhang, jie, QStringLiteral("A"));
        bank.addQuestion(190, QStringLiteral("单选题"), 1, 1, QString());
        bank.addStem(7, 1, 2, 2);
        bank.addStem(8, 2, 1, 2);
        bank.addStem(9, 2, 1, 2).daan = QString();
        bank.addQuestion(191, QStringLiteral("单选题"), 1, 1, QStringLiteral("B")).progress.YDCS = QStringLiteral("1");
        path = bank.write();
        reopen();
    }

    void reopen() {
        session = std::make_unique<BankSession>();
        session->OpenBank(path);
    }
    SqlDatabase &db() { return session->db; }

    // Kept, equal to the questions row for row, and the tree's numbers equal to a full count.
    void expectAgreement(const QString &after) {
        ASSERT_TRUE(ProgressCountsKept(db())) << after.toStdString();
        EXPECT_EQ(ProgressCountsDrift(db()), QString()) << after.toStdString();
        EXPECT_EQ(treeDisagreement(session->listQuery, db()), QString()) << after.toStdString();
    }

    FixtureBank bank;
    QString path;
    std::unique_ptr<BankSession> session;
};

TEST_F(ProgressCountsTest, KeptCountsEqualAFullCountAfterEveryWriter) {
    expectAgreement(QStringLiteral("a bank made by the tool, opened"));
    const QString backupWithCounts = bank.dir() + QStringLiteral("with.dbf");
    const QString backupWithout = bank.dir() + QStringLiteral("without.dbf");
    Dataset &row = session->rowQuery;
    const struct {
        const char *name;
        std::function<void()> write;
    } steps[] = {
        {"right answer", [&] { check(row, QStringLiteral("select * from kjks_tigan where tigan_id = 101"), true); }},
        {"wrong answer", [&] { check(row, QStringLiteral("select * from kjks_tigan where tigan_id = 102"), false); }},
        {"answer again", [&] { check(row, QStringLiteral("select * from kjks_tigan where tigan_id = 101"), false); }},
        {"operation question",
         [&] { check(row, QStringLiteral("select * from kjks_tigan where tigan_id = 104"), true); }},
        {"case stem", [&] { check(row, QStringLiteral("select * from zongtigan where ID = 7"), false); }},
        {"backups",
         [&] {
             WriteBankCopy(db(), backupWithCounts, QString::fromLatin1(kBankPassword));
             WriteBankCopy(db(), backupWithout, QString::fromLatin1(kBankPassword), DropProgressCounts);
         }},
        {"wrong flags, as a hand-in writes them",
         [&] { db().exec(QStringLiteral("update kjks_tigan set DDCS = '1' where tigan_id < 110")); }},
        {"favourites marked and one unmarked",
         [&] {
             db().exec(QStringLiteral("update kjks_tigan set shoucang = '1' where tigan_id in (103, 111, 112)"));
             db().exec(QStringLiteral("update kjks_tigan set shoucang = '0' where tigan_id = 111"));
         }},
        {"attempt counters out of range, as a damaged bank holds them",
         [&] { db().exec(QStringLiteral("update kjks_tigan set ZONGCS = -2, ZQCS = 7 where tigan_id = 109")); }},
        {"question added, moved, retyped, answer cleared, deleted",
         [&] {
             db().exec(QStringLiteral("insert into kjks_tigan (tigan_id, tixing, daan, zhang, jie, YDCS) values "
                                      "(500, '多选题', 'AB', 2, 2, '0'), (501, '判断题', '√', 3, 1, '1')"));
             db().exec(QStringLiteral("update kjks_tigan set zhang = 2, jie = 1 where tigan_id = 105"));
             db().exec(QStringLiteral("update kjks_tigan set tixing = '实操题' where tigan_id = 106"));
             db().exec(QStringLiteral("update kjks_tigan set daan = '' where tigan_id = 107"));
             db().exec(QStringLiteral("update kjks_tigan set daan = 'C' where tigan_id = 190"));
             db().exec(QStringLiteral("delete from kjks_tigan where tigan_id in (108, 191)"));
             db().exec(
                 QStringLiteral("insert into zongtigan (ID, daan, zhang, jie, YDCS) values (20, 'A', 1, 1, '1')"));
             db().exec(QStringLiteral("delete from zongtigan where ID = 8"));
         }},
        {"start over", [&] { ClearProgress(db()); }},
        {"restore of a backup with counts",
         [&] {
             RestoreBankFrom(db(), backupWithCounts, bank.dir() + QStringLiteral("kept1.dbf"),
                             QString::fromLatin1(kBankPassword), RequiredBankTables());
         }},
        {"restore of a backup without counts",
         [&] {
             RestoreBankFrom(db(), backupWithout, bank.dir() + QStringLiteral("kept2.dbf"),
                             QString::fromLatin1(kBankPassword), RequiredBankTables());
         }},
        {"opening a bank whose counts were dropped",
         [&] {
             DropProgressCounts(db());
             reopen();
         }},
        {"opening a bank whose counts were emptied by another program",
         [&] {
             db().exec(QStringLiteral("delete from ") + QuestionCountsTable());
             EXPECT_FALSE(ProgressCountsKept(db()));
             reopen();
         }},
    };
    for (const auto &step : steps) {
        step.write();
        expectAgreement(QString::fromLatin1(step.name));
    }
    // The restored backup without counts had the counted rows of the backup, not of the bank
    // before it: the counts were made again, not carried.
    EXPECT_EQ(firstInteger(db(), QStringLiteral("select count(*) from kjks_tigan where tigan_id = 500")), 0);
}

// The statistics page reads its practice tallies from the kept counts: the same figures as from
// the questions, with the fourth type practised as case stems or as operation questions.
TEST_F(ProgressCountsTest, TheStatisticsFromTheKeptCountsAreThoseOfTheQuestions) {
    check(session->rowQuery, QStringLiteral("select * from kjks_tigan where tigan_id = 101"), true);
    check(session->rowQuery, QStringLiteral("select * from kjks_tigan where tigan_id = 106"), false);
    check(session->rowQuery, QStringLiteral("select * from kjks_tigan where tigan_id = 112"), true);
    db().exec(QStringLiteral("update kjks_tigan set shoucang = '1' where tigan_id in (103, 111)"));
    db().exec(QStringLiteral("update kjks_tigan set ZONGCS = 3, ZQCS = 9 where tigan_id = 113"));
    auto figures = [&] {
        const StudyStatistics s = LoadStudyStatistics(db(), examProfile());
        QStringList lines;
        auto line = [&](const QString &name, const PracticeTally &t) {
            lines << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                         .arg(name)
                         .arg(t.questions)
                         .arg(t.practised)
                         .arg(t.attempts)
                         .arg(t.correct)
                         .arg(t.wrong)
                         .arg(t.favourites);
        };
        line(QStringLiteral("all"), s.overall);
        for (const TypeTally &t : s.types)
            line(t.typeName, t.tally);
        for (const SectionTally &t : s.sections)
            line(QStringLiteral("%1.%2").arg(t.zhang).arg(t.jie), t.tally);
        return lines;
    };
    for (const char *fourth : {"不定项选择题", "实操题"}) {
        db().exec(QStringLiteral("update kjks_type set shicaotype = '%1'").arg(QString::fromUtf8(fourth)));
        session->LoadExamProfile(QStringLiteral("1"));
        ASSERT_TRUE(ProgressCountsKept(db()));
        const QStringList kept = figures();
        DropProgressCounts(db());
        EXPECT_EQ(kept, figures()) << fourth;
        EXPECT_GT(kept.size(), 4);
        RebuildProgressCounts(db());
    }
}

// Making the counts reads with a small page cache and leaves the connection's as it was.
TEST_F(ProgressCountsTest, MakingTheCountsLeavesThePageCacheAsItWas) {
    const int before = firstInteger(db(), QStringLiteral("PRAGMA cache_size"));
    RebuildProgressCounts(db());
    EXPECT_EQ(firstInteger(db(), QStringLiteral("PRAGMA cache_size")), before);
    EXPECT_TRUE(ProgressCountsKept(db()));
}

TEST_F(ProgressCountsTest, AFailedAnswerLeavesTheCountsAsTheyWere) {
    const ChapterProgress before = CountChapterProgress(session->listQuery, db(), kCaseStems, QString(), QString());
    try {
        ScopedTransaction unit(db());
        check(session->rowQuery, QStringLiteral("select * from kjks_tigan where tigan_id = 101"), true);
        check(session->rowQuery, QStringLiteral("select * from zongtigan where ID = 7"), true);
        EXPECT_EQ(CountChapterProgress(session->listQuery, db(), kCaseStems, QString(), QString()).done,
                  before.done + 2);
        throw std::runtime_error("the review could not be stored");
    } catch (const std::runtime_error &) {
    }
    const ChapterProgress after = CountChapterProgress(session->listQuery, db(), kCaseStems, QString(), QString());
    EXPECT_EQ(after.done, before.done);
    EXPECT_EQ(after.remaining, before.remaining);
    expectAgreement(QStringLiteral("rolled back"));
}

TEST_F(ProgressCountsTest, WithoutKeptCountsTheTreeCountsTheQuestions) {
    DropProgressCounts(db());
    check(session->rowQuery, QStringLiteral("select * from kjks_tigan where tigan_id = 101"), true);
    ASSERT_FALSE(ProgressCountsKept(db()));
    EXPECT_EQ(treeDisagreement(session->listQuery, db()), QString());
}

// Chapters and sections stored as numbers, as text ("1" and "01" differ) or in an untyped column
// (1 and "1" differ): the kept counts compare exactly as the question tables do.
TEST_F(ProgressCountsTest, ChapterCodesCompareAsTheQuestionTablesStoreThem) {
    for (const char *declared : {"INTEGER", "TEXT", ""}) {
        SCOPED_TRACE(declared);
        session.reset();
        path = bank.write();
        reopen();
        // The question tables again with the chapter columns of another type; dropping a table
        // drops its triggers, so the next opening makes the counts again.
        for (const QString &table : {QStringLiteral("kjks_tigan"), QStringLiteral("zongtigan")}) {
            db().exec(QStringLiteral("create table copy as select * from ") + table);
            const QString sql =
                db().select(QStringLiteral("select sql from sqlite_master where name = ?"), {table})[0][0].toString();
            QString retyped = sql;
            retyped.replace(QStringLiteral("zhang INTEGER"), QStringLiteral("zhang ") + QString::fromLatin1(declared));
            retyped.replace(QStringLiteral("jie INTEGER"), QStringLiteral("jie ") + QString::fromLatin1(declared));
            ASSERT_TRUE(sql.contains(QStringLiteral("zhang INTEGER"))) << sql.toStdString();
            db().exec(QStringLiteral("drop table ") + table);
            db().exec(retyped);
            db().exec(QStringLiteral("insert into %1 select * from copy").arg(table));
            db().exec(QStringLiteral("drop table copy"));
        }
        db().exec(QStringLiteral("update kjks_tigan set zhang = '01' where tigan_id in (101, 102)"));
        db().exec(QStringLiteral("update kjks_tigan set jie = ' 2' where tigan_id = 103"));
        db().exec(QStringLiteral("update zongtigan set zhang = '02' where ID = 7"));
        EXPECT_FALSE(ProgressCountsKept(db()));
        reopen();
        expectAgreement(QStringLiteral("opened"));
        // Rows moved by the triggers land on the count rows of the stored values.
        db().exec(QStringLiteral("insert into kjks_tigan (tigan_id, tixing, daan, zhang, jie, YDCS) values "
                                 "(600, '单选题', 'A', '1', '01', '0'), (601, '单选题', 'A', 1, 1, '0')"));
        check(session->rowQuery, QStringLiteral("select * from kjks_tigan where tigan_id = 101"), true);
        check(session->rowQuery, QStringLiteral("select * from kjks_tigan where tigan_id = 600"), false);
        db().exec(QStringLiteral("update kjks_tigan set zhang = '2' where tigan_id = 102"));
        db().exec(QStringLiteral("update zongtigan set zhang = 2 where ID = 7"));
        expectAgreement(QStringLiteral("written"));
    }
}

} // namespace
