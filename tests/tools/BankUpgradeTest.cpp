// `kjks-bank upgrade`: progress carried onto a new release's bank by question id.

#include "BankUpgrade.h"
#include "AppTables.h"
#include "BankSession.h"
#include "BankTestSupport.h"
#include "BankWriter.h"
#include "FixtureBank.h"
#include "LearnerProgress.h"
#include "ProgressCounts.h"
#include "SqlDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

BankProgress progress(const char *ydcs, const char *ddcs, const char *fav, int right, int total) {
    BankProgress p;
    p.YDCS = QString::fromLatin1(ydcs);
    p.DDCS = QString::fromLatin1(ddcs);
    p.shoucang = QString::fromLatin1(fav);
    p.ZQCS = right;
    p.ZONGCS = total;
    return p;
}

void exec(const QString &bank, const QString &sql) {
    SqlDatabase db;
    db.open(bank, QString::fromLatin1(kBankPassword));
    db.exec(sql);
}

// The old release: singles 11–13 and a true/false 31 answered, stems 7 and 8, two papers, the
// program's exam-time table and a review table keyed by question. The new release: 12 and stem 8
// withdrawn, 13's answer changed, 31's answer stored as "1" (the same answer), 14 new.
class UpgradeTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldBank.addQuestion(11, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")).progress =
            progress("1", "1", "1", 2, 5);
        oldBank.addQuestion(12, QStringLiteral("单选题"), 1, 1, QStringLiteral("B")).progress =
            progress("1", "0", "0", 1, 1);
        oldBank.addQuestion(13, QStringLiteral("单选题"), 1, 1, QStringLiteral("C")).progress =
            progress("1", "1", "1", 0, 3);
        oldBank.addQuestion(15, QStringLiteral("单选题"), 1, 1, QStringLiteral("D"));
        oldBank.addQuestion(31, QStringLiteral("判断题"), 1, 2, QStringLiteral("√"), 0).progress =
            progress("1", "0", "0", 1, 1);
        oldBank.addStem(7, 1, 2).progress = progress("1", "1", "0", 0, 1);
        oldBank.addStem(8, 1, 2).progress = progress("1", "0", "1", 1, 1);
        oldBank.model.papers = {{1,
                                 QStringLiteral("2026-05-01 09:00:00"),
                                 QStringLiteral("2026-05-01 10:00:00"),
                                 {{QStringLiteral("DEFEN"), 3.0}},
                                 0},
                                {2, QStringLiteral("2026-05-02 09:00:00"), QString(), {}, 0}};
        oldBank.model.paperItems = {
            {0, 1, 1, QStringLiteral("单选题"), 11, QStringLiteral("A"), QStringLiteral("A"), true, 2.0,
             QStringLiteral("1")},
            {0, 1, 2, QStringLiteral("判断题"), 31, QStringLiteral("√"), QStringLiteral("×"), true, 0.0,
             QStringLiteral("0")},
            {0, 2, 1, QStringLiteral("单选题"), 13, QStringLiteral("C"), QStringLiteral("C"), true, 2.0, QString()},
        };
        oldPath = oldBank.write(QStringLiteral("old.dbf"));
        exec(oldPath, QStringLiteral("create table kjks_app_exam_time (sjID INTEGER PRIMARY KEY, seconds_left "
                                     "INTEGER, saved TEXT)"));
        exec(oldPath, QStringLiteral("insert into kjks_app_exam_time values (1, 100, 'x'), (2, 200, 'y')"));
        exec(oldPath, QStringLiteral("create table kjks_app_notes (tigan_id INTEGER PRIMARY KEY, due TEXT)"));
        exec(oldPath, QStringLiteral("create index kjks_app_notes_due on kjks_app_notes (due)"));
        exec(oldPath, QStringLiteral("insert into kjks_app_notes values (11, 'a'), (12, 'b'), (13, 'c')"));
        // The review schedule names questions and case stems apart.
        {
            SqlDatabase db;
            db.open(oldPath, QString::fromLatin1(kBankPassword));
            EnsureAppTable(db, QStringLiteral("kjks_app_review_state"));
        }
        exec(oldPath,
             QStringLiteral("insert into kjks_app_review_state (is_stem, question_id, due_day, difficulty,"
                            " stability, last_review, last_day, lapses) values (0, 11, 1, 5, 1, 'x', 0, 1),"
                            " (0, 12, 2, 5, 1, 'x', 0, 1), (0, 13, 3, 5, 1, 'x', 0, 1),"
                            " (1, 7, 4, 5, 1, 'x', 0, 1), (1, 8, 5, 5, 1, 'x', 0, 1), (1, 11, 6, 5, 1, 'x', 0, 1)"));

        newBank.addQuestion(11, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")).timian =
            QStringLiteral("新题面11");
        newBank.addQuestion(13, QStringLiteral("单选题"), 1, 1, QStringLiteral("B"));
        newBank.addQuestion(14, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
        newBank.addQuestion(15, QStringLiteral("单选题"), 1, 1, QStringLiteral("D"));
        newBank.addQuestion(31, QStringLiteral("判断题"), 1, 2, QStringLiteral("1"), 0);
        newBank.addStem(7, 1, 2);
        newPath = newBank.write(QStringLiteral("new.dbf"));
        outPath = newBank.dir() + QStringLiteral("out.dbf");
    }

    FixtureBank oldBank;
    FixtureBank newBank;
    QString oldPath, newPath, outPath;
};

TEST_F(UpgradeTest, CarriesProgressByIdAndReportsWhatCouldNotBeCarried) {
    const QByteArray oldBefore = FileSha256(oldPath);
    const QByteArray newBefore = FileSha256(newPath);
    const UpgradeReport report = UpgradeBank(oldPath, newPath, outPath);

    EXPECT_EQ(report.withdrawn, std::vector<int>{12});
    EXPECT_EQ(report.withdrawnStems, std::vector<int>{8});
    EXPECT_EQ(report.changed, std::vector<int>{13});
    EXPECT_EQ(report.changedStems, std::vector<int>{});
    EXPECT_EQ(report.papersCarried, 1);
    EXPECT_EQ(report.papersDropped, std::vector<int>{2});
    // Exam time of paper 1, the notes on 11 and the review states of 11, stem 7 and stem 11 (no question
    // 11 of its own); paper 2's time, the rows of 12 and 13 and the state of withdrawn stem 8 stay behind.
    EXPECT_EQ(report.appRowsCarried, 5);
    EXPECT_EQ(report.appRowsDropped, 6);

    // Same id and answer: everything; changed answer: only the favourite; new and untouched: fresh.
    EXPECT_EQ(
        BankRows(outPath, QStringLiteral("select tigan_id, YDCS, DDCS, shoucang, ZQCS, ZONGCS, daan from kjks_tigan "
                                         "where zongtimian is null or zongtimian = '' order by tigan_id")),
        (QStringList{QStringLiteral("11|1|1|1|2|5|A"), QStringLiteral("13|0|0|1|0|0|B"),
                     QStringLiteral("14|0|0|0|0|0|A"), QStringLiteral("15|0|0|0|0|0|D"),
                     QStringLiteral("31|1|0|0|1|1|1")}));
    EXPECT_EQ(BankRows(outPath, QStringLiteral("select ID, YDCS, DDCS, shoucang, ZQCS, ZONGCS from zongtigan")),
              QStringList{QStringLiteral("7|1|1|0|0|1")});
    EXPECT_EQ(BankRows(outPath, QStringLiteral("select sjID, DTKSSJ, JJSJ, DEFEN from kjks_SJML")),
              QStringList{QStringLiteral("1|2026-05-01 09:00:00|2026-05-01 10:00:00|3")});
    EXPECT_EQ(
        BankRows(outPath, QStringLiteral("select sjID, xth, tigan_id, KSDA, defen, kaolv from shijuan order by ID")),
        (QStringList{QStringLiteral("0|200|NULL||NULL|NULL"), QStringLiteral("1|1|11|A|2|1"),
                     QStringLiteral("1|2|31|×|0|0")}));
    EXPECT_EQ(BankRows(outPath, QStringLiteral("select * from kjks_app_exam_time")),
              QStringList{QStringLiteral("1|100|x")});
    EXPECT_EQ(BankRows(outPath, QStringLiteral("select * from kjks_app_notes")), QStringList{QStringLiteral("11|a")});
    // A table of a later version gets plain columns; none of OLD's statements (its index) is run.
    EXPECT_EQ(BankRows(outPath, QStringLiteral("select name from sqlite_master where name = 'kjks_app_notes_due'")),
              QStringList{});
    EXPECT_EQ(BankRows(outPath, QStringLiteral("select is_stem, question_id, due_day from kjks_app_review_state"
                                               " order by is_stem, question_id")),
              (QStringList{QStringLiteral("0|11|1"), QStringLiteral("1|7|4"), QStringLiteral("1|11|6")}));

    // The content is the new bank's, row for row, outside the progress.
    BankTables out = ReadAllTables(outPath);
    BankTables fresh = ReadAllTables(newPath);
    for (const QString &table : {QStringLiteral("kjks_xuanxiang"), QStringLiteral("kjks_zhangjie"),
                                 QStringLiteral("kjks_type"), QStringLiteral("sys_option")})
        EXPECT_EQ(FirstDifference({{table, fresh[table]}}, {{table, out[table]}}), QString());
    EXPECT_EQ(
        BankRows(outPath, QStringLiteral("select count(*) from kjks_tigan where tigan_id = 11 and timian = (select "
                                         "timian from kjks_tigan where tigan_id = 11)")),
        QStringList{QStringLiteral("1")});
    EXPECT_EQ(out[QStringLiteral("kjks_tigan")][0][2], fresh[QStringLiteral("kjks_tigan")][0][2]); // 11's new text

    EXPECT_EQ(FileSha256(oldPath), oldBefore);
    EXPECT_EQ(FileSha256(newPath), newBefore);

    const QString text = UpgradeReportLines(report).join(QLatin1Char('\n'));
    EXPECT_TRUE(text.contains(QStringLiteral("新题库已删除的题目（进度无法转入）：12"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("答案已更改的题目（答题次数和错题记录已清零，收藏保留）：13")));
    EXPECT_TRUE(text.contains(QStringLiteral("试卷号）：2")));
}

// The chapter tree's counts are derived from the questions, not progress: an upgrade neither
// carries the old bank's nor lets the new bank's disagree with the carried answers.
TEST_F(UpgradeTest, TheChapterTreeCountsAgreeWithTheUpgradedBank) {
    for (const QString &bank : {oldPath, newPath}) {
        SqlDatabase db;
        db.open(bank, QString::fromLatin1(kBankPassword));
        RebuildProgressCounts(db);
    }
    const UpgradeReport report = UpgradeBank(oldPath, newPath, outPath);
    EXPECT_EQ(report.appRowsCarried, 5) << "the rows carried above, no count among them";
    SqlDatabase out;
    out.open(outPath, QString::fromLatin1(kBankPassword));
    EXPECT_TRUE(ProgressCountsKept(out));
    EXPECT_EQ(ProgressCountsDrift(out), QString());
}

TEST_F(UpgradeTest, AFailureLeavesBothBanksAndTheOutputAsTheyWere) {
    // The new bank refuses the carried values half way: the copy fails after its first writes.
    exec(newPath, QStringLiteral("create trigger refuse_progress before update on zongtigan begin "
                                 "select raise(abort, 'injected failure'); end"));
    QFile previous(outPath);
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
    previous.write("the previous output");
    previous.close();
    const QByteArray oldBefore = FileSha256(oldPath);
    const QByteArray newBefore = FileSha256(newPath);
    const QStringList filesBefore = QDir(newBank.dir()).entryList(QDir::Files | QDir::Hidden);

    try {
        UpgradeBank(oldPath, newPath, outPath);
        FAIL() << "the upgrade succeeded";
    } catch (const KjksError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("升级失败"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("injected failure")));
    }
    EXPECT_EQ(FileSha256(oldPath), oldBefore);
    EXPECT_EQ(FileSha256(newPath), newBefore);
    EXPECT_EQ(FileSha256(outPath), QCryptographicHash::hash("the previous output", QCryptographicHash::Sha256));
    EXPECT_EQ(QDir(newBank.dir()).entryList(QDir::Files | QDir::Hidden), filesBefore);
}

TEST_F(UpgradeTest, RefusesAFileThatIsNoBank) {
    const QString junk = newBank.dir() + QStringLiteral("junk.dbf");
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'x'));
    f.close();
    for (const auto &[from, to] : {std::pair{junk, newPath}, std::pair{oldPath, junk}}) {
        try {
            UpgradeBank(from, to, outPath);
            FAIL() << "a file that is no bank was taken";
        } catch (const KjksError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("不是本程序的题库"))) << e.message().toStdString();
        }
        EXPECT_FALSE(QFile::exists(outPath));
    }
}

} // namespace
