// The learner's progress: "重新开始" clears exactly the progress list; backups are consistent copies;
// a restore takes only a sound backup of this program and keeps the bank it replaces.

#include "BankCopy.h"
#include "BankSession.h"
#include "BankTestSupport.h"
#include "FixtureBank.h"
#include "LearnerProgress.h"
#include "ProgressCounts.h"
#include "SqlDatabase.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <set>

namespace {

const QString &key() {
    static const QString k = QString::fromLatin1(kBankPassword);
    return k;
}

// A bank with progress everywhere the program keeps it.
class ProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        bank.addQuestion(11, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")).progress = {
            QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), 2, 5};
        bank.addQuestion(12, QStringLiteral("单选题"), 1, 1, QStringLiteral("B"));
        bank.addStem(7, 1, 2).progress = {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1"), 1, 1};
        bank.model.papers = {{1, QStringLiteral("2026-05-01 09:00:00"), QString(), {}, 0}};
        bank.model.paperItems = {{0, 0, 200, QString(), 0, QString(), QStringLiteral("操作答案"), false, 0, QString()},
                                 {0, 1, 1, QStringLiteral("单选题"), 11, QStringLiteral("A"), QStringLiteral("B"), true,
                                  0, QStringLiteral("1")}};
        BankSession &form = bank.open();
        db = &form.db;
        db->exec(QStringLiteral("create table kjks_app_exam_time (sjID INTEGER PRIMARY KEY, seconds_left INTEGER)"));
        db->exec(QStringLiteral("insert into kjks_app_exam_time values (1, 300)"));
        db->exec(QStringLiteral("create table kjks_app_review_log (tigan_id INTEGER, grade INTEGER)"));
        db->exec(QStringLiteral("insert into kjks_app_review_log values (11, 1), (11, 3)"));
        path = db->path();
    }

    QStringList rows(const QString &sql) {
        QStringList out;
        for (const auto &row : db->select(sql)) {
            QStringList cells;
            for (const QVariant &v : row)
                cells << (v.isNull() ? QStringLiteral("NULL") : v.toString());
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }

    FixtureBank bank;
    SqlDatabase *db = nullptr;
    QString path;
};

TEST_F(ProgressTest, StartingOverClearsExactlyTheProgressList) {
    const ProgressSummary before = SummariseProgress(*db);
    EXPECT_EQ(before.answered, 2);
    EXPECT_EQ(before.wrong, 1);
    EXPECT_EQ(before.favourites, 2);
    EXPECT_EQ(before.papers, 1);
    EXPECT_EQ(before.appRows, 3);
    const QString confirmation = ClearConfirmationText(before);
    EXPECT_TRUE(confirmation.contains(QStringLiteral("错题：1 题"))) << confirmation.toStdString();
    EXPECT_TRUE(confirmation.contains(QStringLiteral("模拟考试试卷：1 套")));

    // A value that is no fresh value only in its stored form is made fresh too.
    db->exec(QStringLiteral("update kjks_tigan set ZQCS = NULL, shoucang = NULL where tigan_id = 12"));
    BankTables contentBefore = ReadAllTables(path);
    ClearProgress(*db);
    BankTables contentAfter = ReadAllTables(path);

    EXPECT_TRUE(SummariseProgress(*db).empty());
    // Every progress column fresh on every row; every other column of the question tables as it was.
    std::set<QString> progressColumns;
    for (const ProgressColumn &c : QuestionProgressColumns())
        progressColumns.insert(c.name.toLower());
    for (const ProgressTable &t : QuestionProgressTables()) {
        std::vector<QString> names;
        db->select(QStringLiteral("select * from ") + t.table + QStringLiteral(" limit 0"), {}, &names);
        const auto &was = contentBefore[t.table];
        const auto &is = contentAfter[t.table];
        ASSERT_EQ(was.size(), is.size());
        for (size_t r = 0; r < is.size(); ++r)
            for (size_t c = 0; c < names.size(); ++c) {
                if (progressColumns.count(names[c].toLower())) {
                    EXPECT_EQ(is[r][c].toString(), QStringLiteral("0"))
                        << t.table.toStdString() << " " << names[c].toStdString();
                } else {
                    EXPECT_EQ(is[r][c], was[r][c]) << t.table.toStdString() << " " << names[c].toStdString();
                }
            }
    }
    // Papers and the program's own rows gone; the practice answer row stays, emptied.
    EXPECT_EQ(rows(QStringLiteral("select sjID, xth, KSDA from shijuan")), QStringList{QStringLiteral("0|200|")});
    EXPECT_EQ(rows(QStringLiteral("select count(*) from kjks_SJML")), QStringList{QStringLiteral("0")});
    EXPECT_EQ(rows(QStringLiteral("select count(*) from kjks_app_exam_time")), QStringList{QStringLiteral("0")});
    EXPECT_EQ(rows(QStringLiteral("select count(*) from kjks_app_review_log")), QStringList{QStringLiteral("0")});
    for (const QString &table : {QStringLiteral("kjks_xuanxiang"), QStringLiteral("kjks_zhangjie"),
                                 QStringLiteral("kjks_type"), QStringLiteral("sys_option")})
        EXPECT_EQ(FirstDifference({{table, contentBefore[table]}}, {{table, contentAfter[table]}}), QString());
}

TEST_F(ProgressTest, ABackupIsAConsistentCopyOfTheOpenBank) {
    // The latest answers are still in the open bank's log, not yet in its file.
    db->exec(QStringLiteral("update kjks_tigan set ZONGCS = 9 where tigan_id = 12"));
    const QString target =
        BackupFolder(path) + QLatin1Char('/') +
        BackupFileName(path, QStringLiteral("进度备份"), QDateTime(QDate(2026, 5, 16), QTime(9, 1, 2)));
    EXPECT_TRUE(target.endsWith(QStringLiteral("/备份/kjks-进度备份-20260516-090102.dbf"))) << target.toStdString();
    WriteBankCopy(*db, target, key());

    EXPECT_EQ(FirstDifference(ReadAllTables(path), ReadAllTables(target)), QString());
    EXPECT_EQ(QDir(BackupFolder(path)).entryList(QDir::Files | QDir::Hidden),
              QStringList{QFileInfo(target).fileName()}); // no temporary file, no log left beside it
}

// Files offered for "恢复" that must be refused, with what the refusal says.
TEST_F(ProgressTest, RestoreRefusesDamagedAndForeignFiles) {
    const QString good = bank.dir() + QStringLiteral("good.dbf");
    WriteBankCopy(*db, good, key());
    QFile source(good);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    source.close();

    auto writeFile = [&](const QString &name, const QByteArray &content) {
        const QString p = bank.dir() + name;
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return p;
    };
    // A page of an index overwritten (opening the bank reads none): only the integrity check finds
    // it. A damaged first page of a table fails at opening already.
    const int pageSize = db->select(QStringLiteral("PRAGMA page_size"))[0][0].toInt();
    const int indexPage =
        db->select(QStringLiteral("select max(rootpage) from sqlite_master where type = 'index'"))[0][0].toInt();
    ASSERT_GT(indexPage, 1);
    QByteArray damaged = bytes;
    for (int i = 0; i < pageSize; ++i)
        damaged[qsizetype(indexPage - 1) * pageSize + i] = char(i * 7);
    QByteArray damagedTable = bytes;
    for (int i = 0; i < 1024; ++i)
        damagedTable[2 * 1024 + 100 + i] = char(i * 7);
    QByteArray cut = bytes.left(bytes.size() / 2);

    FixtureBank other;
    const QString otherKey = other.write(QStringLiteral("other.dbf"));
    {
        SqlDatabase rekey;
        rekey.open(otherKey, key());
        rekey.exec(QStringLiteral("PRAGMA rekey = 'another key'"));
    }
    const QString noTables = bank.dir() + QStringLiteral("tables.dbf");
    {
        SqlDatabase partial;
        partial.create(noTables, key());
        partial.exec(QStringLiteral("create table kjks_tigan (tigan_id INTEGER PRIMARY KEY)"));
    }
    FixtureBank empty; // the tables, but no question
    const QString noQuestions = empty.write(QStringLiteral("empty.dbf"));

    const struct {
        QString file;
        const char *refusalStart;
    } cases[] = {
        {writeFile(QStringLiteral("damaged.dbf"), damaged), "备份文件已损坏"},
        {writeFile(QStringLiteral("table.dbf"), damagedTable), "所选文件不是本程序的题库备份，或已经损坏"},
        {writeFile(QStringLiteral("cut.dbf"), cut), ""},
        {writeFile(QStringLiteral("text.dbf"), QByteArrayLiteral("not a bank at all")), "所选文件不是本程序的题库备份"},
        {writeFile(QStringLiteral("zero.dbf"), QByteArray()), "所选文件不是本程序的题库备份"},
        {otherKey, "所选文件不是本程序的题库备份"},
        {noTables, "所选文件不是本程序的题库备份"},
        {noQuestions, "所选文件中没有题目"},
        {path, "所选文件就是正在使用的题库"},
    };
    const BankTables before = ReadAllTables(path);
    for (const auto &c : cases) {
        const RestoreCheck check = CheckRestoreFile(c.file, *db, key(), RequiredBankTables());
        EXPECT_FALSE(check.usable) << c.file.toStdString();
        EXPECT_TRUE(check.refusal.startsWith(QString::fromUtf8(c.refusalStart))) << check.refusal.toStdString();
        EXPECT_TRUE(check.refusal.contains(QStringLiteral("不能用它恢复"))) << check.refusal.toStdString();
    }
    EXPECT_EQ(FirstDifference(before, ReadAllTables(path)), QString());
}

TEST_F(ProgressTest, RestoreReplacesTheBankAndKeepsTheOneItReplaced) {
    const QString backup = bank.dir() + QStringLiteral("backup.dbf");
    WriteBankCopy(*db, backup, key());
    ClearProgress(*db); // the learner went on after the backup

    const RestoreCheck check = CheckRestoreFile(backup, *db, key(), RequiredBankTables());
    ASSERT_TRUE(check.usable) << check.refusal.toStdString();
    EXPECT_TRUE(check.sameContent);
    EXPECT_EQ(check.questions, check.currentQuestions);

    const BankTables cleared = ReadAllTables(path);
    const QString kept = bank.dir() + QStringLiteral("kept.dbf");
    RestoreBankFrom(*db, backup, kept, key(), RequiredBankTables());
    ASSERT_TRUE(db->isOpen()); // the program's connection, still in use

    // Every row as the backup holds it; the chapter tree's counts are derived and only have to agree.
    BankTables restored = ReadAllTables(path);
    BankTables saved = ReadAllTables(backup);
    for (BankTables *tables : {&restored, &saved})
        for (auto it = tables->begin(); it != tables->end();)
            it = IsProgressCountsTable(it->first) ? tables->erase(it) : std::next(it);
    EXPECT_EQ(FirstDifference(saved, restored), QString());
    EXPECT_EQ(ProgressCountsDrift(*db), QString());
    EXPECT_EQ(FirstDifference(cleared, ReadAllTables(kept)), QString());
    EXPECT_EQ(rows(QStringLiteral("select ZONGCS from kjks_tigan where tigan_id = 11")),
              QStringList{QStringLiteral("5")});
}

TEST_F(ProgressTest, ABackupOfAnotherReleaseIsUsableButSaysSo) {
    FixtureBank release;
    release.addQuestion(11, QStringLiteral("单选题"), 1, 1, QStringLiteral("B"));
    const QString other = release.write(QStringLiteral("release.dbf"));
    const RestoreCheck check = CheckRestoreFile(other, *db, key(), RequiredBankTables());
    EXPECT_TRUE(check.usable);
    EXPECT_FALSE(check.sameContent);
    EXPECT_EQ(check.questions, 1);
    EXPECT_EQ(check.currentQuestions, 7); // 11, 12 and the five sub-questions of 7
}

} // namespace
