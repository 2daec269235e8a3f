// `kjks-bank import FILE... --bank`: a teacher's file added to a bank a learner practises in keeps the
// learner's progress; `--new` and `--replace`. Run through the built tool, as a teacher runs it.

#include "BankReader.h"
#include "BankSession.h"
#include "BankTestSupport.h"
#include "FixtureBank.h"
#include "ProgressCounts.h"
#include "SqlDatabase.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

ToolRun runTool(const QStringList &args) {
    return RunBankTool(QStringLiteral(KJKS_BANK_EXE), args, 60000);
}

void exec(const QString &bank, const QString &sql) {
    SqlDatabase db;
    db.open(bank, QString::fromLatin1(kBankPassword));
    db.exec(sql);
}

BankProgress progress(const char *ydcs, const char *ddcs, const char *fav, int right, int total) {
    BankProgress p;
    p.YDCS = QString::fromLatin1(ydcs);
    p.DDCS = QString::fromLatin1(ddcs);
    p.shoucang = QString::fromLatin1(fav);
    p.ZQCS = right;
    p.ZONGCS = total;
    return p;
}

const char kCsvHeader[] = "编号,题型,章节,案例,题干,A,B,C,D,答案,解析\n";
const char kSection1[] = "第一章 会计概述/第一节 会计概念";

// "ID|YDCS|DDCS|shoucang|ZQCS|ZONGCS" of every question, then of every case.
const QString kProgressOfQuestions =
    QStringLiteral("select tigan_id, YDCS, DDCS, shoucang, ZQCS, ZONGCS from kjks_tigan order by tigan_id");
const QString kProgressOfCases = QStringLiteral("select ID, YDCS, DDCS, shoucang, ZQCS, ZONGCS from zongtigan");

// A bank a learner practises in: singles 11, 12, 14, a multiple choice 13, a true/false 31 and case
// 7 (sub-questions 701–705), most of them answered, some wrong or favourite; paper 1 (11, 31) and
// paper 2 (12, 13) handed in; the program's review schedule and exam times; the chapter tree's
// kept counts with their triggers.
class ImportMergeTest : public ::testing::Test {
protected:
    void SetUp() override {
        fixture.addQuestion(11, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")).progress =
            progress("1", "1", "1", 2, 5);
        fixture.addQuestion(12, QStringLiteral("单选题"), 1, 1, QStringLiteral("B")).progress =
            progress("1", "1", "1", 0, 3);
        fixture.addQuestion(13, QStringLiteral("多选题"), 1, 1, QStringLiteral("AB")).progress =
            progress("1", "0", "0", 1, 1);
        fixture.addQuestion(14, QStringLiteral("单选题"), 1, 2, QStringLiteral("C")).progress =
            progress("1", "0", "1", 3, 3);
        fixture.addQuestion(31, QStringLiteral("判断题"), 1, 2, QStringLiteral("√"), 0).progress =
            progress("1", "0", "0", 1, 1);
        fixture.addStem(7, 1, 2).progress = progress("1", "1", "1", 0, 1);
        for (BankQuestion &q : fixture.model.questions)
            if (q.id == 705) q.progress = progress("1", "1", "0", 1, 2);
        fixture.model.papers = {{1,
                                 QStringLiteral("2026-05-01 09:00:00"),
                                 QStringLiteral("2026-05-01 10:00:00"),
                                 {{QStringLiteral("DEFEN"), 2.0}},
                                 0},
                                {2,
                                 QStringLiteral("2026-05-02 09:00:00"),
                                 QStringLiteral("2026-05-02 10:00:00"),
                                 {{QStringLiteral("DEFEN"), 4.0}},
                                 0}};
        fixture.model.paperItems = {
            {0, 1, 1, QStringLiteral("单选题"), 11, QStringLiteral("A"), QStringLiteral("A"), true, 2.0, QString()},
            {0, 1, 2, QStringLiteral("判断题"), 31, QStringLiteral("√"), QStringLiteral("×"), true, 0.0, QString()},
            {0, 2, 1, QStringLiteral("单选题"), 12, QStringLiteral("B"), QStringLiteral("B"), true, 2.0, QString()},
            {0, 2, 2, QStringLiteral("多选题"), 13, QStringLiteral("AB"), QStringLiteral("AB"), true, 2.0, QString()},
        };
        bank = fixture.write(QStringLiteral("kjks.dbf"));
        exec(bank, QStringLiteral("create table kjks_app_review_state (is_stem INTEGER, question_id INTEGER,"
                                  " due_day INTEGER, PRIMARY KEY (is_stem, question_id))"));
        exec(bank, QStringLiteral("insert into kjks_app_review_state values (0, 11, 1), (0, 12, 2), (0, 14, 3),"
                                  " (1, 7, 4)"));
        exec(bank, QStringLiteral("create table kjks_app_exam_time (sjID INTEGER PRIMARY KEY, seconds_left INTEGER)"));
        exec(bank, QStringLiteral("insert into kjks_app_exam_time values (1, 100), (2, 200)"));
        SqlDatabase db;
        db.open(bank, QString::fromLatin1(kBankPassword));
        RebuildProgressCounts(db);
    }

    QString writeCsv(const QString &name, const QByteArray &body) {
        const QString path = fixture.dir() + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kCsvHeader + body);
        return path;
    }

    QStringList backups() const { return QDir(fixture.dir() + QStringLiteral("备份")).entryList(QDir::Files); }

    FixtureBank fixture;
    QString bank;
};

TEST_F(ImportMergeTest, TheBanksOwnExportChangesNothing) {
    const QString csv = fixture.dir() + QStringLiteral("export.csv");
    ASSERT_EQ(runTool({QStringLiteral("export"), QStringLiteral("--csv"), bank, csv}).code, 0);
    const BankTables before = ReadAllTables(bank);

    const ToolRun r = runTool({QStringLiteral("import"), csv, QStringLiteral("--bank"), bank});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("更新 0 道，新增 0 道，内容相同未改动 10 道"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("学习进度全部保留")));
    // Every row of every table, progress, papers and the program's own rows included.
    EXPECT_EQ(FirstDifference(before, ReadAllTables(bank)), QString());
}

TEST_F(ImportMergeTest, UpdatesAndAddsAndKeepsTheProgressOfEveryAnswerThatStayed) {
    const QStringList questionsBefore = BankRows(bank, kProgressOfQuestions);
    const BankTables bankBefore = ReadAllTables(bank);
    // 11 by id with a new text; 12 by id with a new answer; 13 by its text with a new explanation; a
    // new true/false in a new chapter; case 7 by id, its sub-questions by their text, 705's answer new.
    const QByteArray file = QByteArray("11,单选题,") + kSection1 +
                            ",,新题面11,选项11-1,选项11-2,选项11-3,选项11-4,A,解析11\n" + "12,单选题," + kSection1 +
                            ",,题目12,选项12-1,选项12-2,选项12-3,选项12-4,C,解析12\n" + ",多选题," + kSection1 +
                            ",,题目13,选项13-1,选项13-2,选项13-3,选项13-4,AB,新解析13\n" +
                            ",判断题,第九章 新章/第一节 新节,,新判断题,,,,,√,\n" +
                            "7,案例,第一章 会计概述/第二节 会计基本假设,K,案例7,,,,,,案例解析7\n" +
                            ",不定项选择题,,K,题目701,选项701-1,选项701-2,选项701-3,选项701-4,A,解析701\n" +
                            ",不定项选择题,,K,题目702,选项702-1,选项702-2,选项702-3,选项702-4,B,解析702\n" +
                            ",不定项选择题,,K,题目703,选项703-1,选项703-2,选项703-3,选项703-4,C,解析703\n" +
                            ",不定项选择题,,K,题目704,选项704-1,选项704-2,选项704-3,选项704-4,D,解析704\n" +
                            ",不定项选择题,,K,题目705,选项705-1,选项705-2,选项705-3,选项705-4,B,解析705\n";
    const ToolRun r =
        runTool({QStringLiteral("import"), writeCsv(QStringLiteral("t.csv"), file), QStringLiteral("--bank"), bank});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList expectedLines = {
        QStringLiteral("题目：更新 4 道，新增 1 道，内容相同未改动 4 道；题库中文件没有的 2 道题保持原样。"),
        QStringLiteral("案例：更新 1 个，新增 0 个，内容相同未改动 0 个"),
        QStringLiteral("新增章节：第九章 新章、第九章 新章/第一节 新节"),
        QStringLiteral("答案已更改的题目（答题次数和错题记录已清零，收藏保留）：12、705"),
        QStringLiteral("答案已更改的案例（答题次数和错题记录已清零，收藏保留）：7"),
        QStringLiteral("含有答案已更改题目的模拟试卷已删除（按“已答试卷”中的试卷号）：2"),
        QStringLiteral("涉及这些题目或试卷的程序记录已删除：3 条")};
    for (const QString &line : expectedLines)
        EXPECT_TRUE(r.out.contains(line)) << line.toStdString() << "\n" << r.out.toStdString();

    // Progress: as before but for the changed answers' counters; the favourites stay; 706 is new, after the bank's last
    // id.
    QStringList expected = questionsBefore;
    expected.replaceInStrings(QStringLiteral("12|1|1|1|0|3"), QStringLiteral("12|0|0|1|0|0"));
    expected.replaceInStrings(QStringLiteral("705|1|1|0|1|2"), QStringLiteral("705|0|0|0|0|0"));
    expected << QStringLiteral("706|0|0|0|0|0");
    EXPECT_EQ(BankRows(bank, kProgressOfQuestions), expected);
    EXPECT_EQ(BankRows(bank, kProgressOfCases), QStringList{QStringLiteral("7|0|0|1|0|0")});

    // Paper 2 held 12: gone with its items and its exam time; paper 1 whole.
    EXPECT_EQ(BankRows(bank, QStringLiteral("select sjID, JJSJ, DEFEN from kjks_SJML")),
              QStringList{QStringLiteral("1|2026-05-01 10:00:00|2")});
    EXPECT_EQ(BankRows(bank, QStringLiteral("select sjID, tigan_id, KSDA, defen from shijuan order by ID")),
              (QStringList{QStringLiteral("1|11|A|2"), QStringLiteral("1|31|×|0"), QStringLiteral("0|NULL||NULL")}));
    EXPECT_EQ(BankRows(bank, QStringLiteral("select * from kjks_app_exam_time")), QStringList{QStringLiteral("1|100")});
    EXPECT_EQ(BankRows(bank, QStringLiteral("select * from kjks_app_review_state order by is_stem, question_id")),
              (QStringList{QStringLiteral("0|11|1"), QStringLiteral("0|14|3")}));

    // The content: new texts in place, the case's answer from its sub-questions, the new chapter.
    const BankModel m = ReadBank(bank);
    std::map<int, const BankQuestion *> byId;
    for (const BankQuestion &q : m.questions)
        byId[q.id] = &q;
    EXPECT_EQ(byId.at(11)->timian, QStringLiteral("新题面11"));
    EXPECT_EQ(byId.at(12)->daan, QStringLiteral("C"));
    EXPECT_EQ(byId.at(13)->jiexi, QStringLiteral("新解析13"));
    EXPECT_EQ(byId.at(14)->timian, QStringLiteral("题目14"));
    EXPECT_EQ(std::make_tuple(byId.at(706)->timian, byId.at(706)->zhang, byId.at(706)->jie),
              std::make_tuple(QStringLiteral("新判断题"), 2, 1));
    EXPECT_EQ(m.stems.at(0).daan, QStringLiteral("AFKPR"));
    EXPECT_EQ(BankRows(bank, QStringLiteral("select daima, mc from kjks_zhangjie where daima like '0102%'")),
              (QStringList{QStringLiteral("0102|第九章 新章"), QStringLiteral("010201|第一节 新节")}));

    // The bank checks clean, and the chapter tree's counts followed every change.
    EXPECT_EQ(runTool({QStringLiteral("check"), bank}).code, 0);
    {
        SqlDatabase db;
        db.open(bank, QString::fromLatin1(kBankPassword));
        EXPECT_TRUE(ProgressCountsKept(db));
        EXPECT_EQ(ProgressCountsDrift(db), QString());
    }

    // The copy in 备份/ is the bank as it was, and says where it is.
    const QStringList copies = backups();
    ASSERT_EQ(copies.size(), 1);
    EXPECT_TRUE(copies[0].startsWith(QStringLiteral("kjks-导入前-"))) << copies[0].toStdString();
    const QString copy = fixture.dir() + QStringLiteral("备份/") + copies[0];
    EXPECT_TRUE(r.out.contains(QDir::toNativeSeparators(copy))) << r.out.toStdString();
    EXPECT_EQ(FirstDifference(ReadAllTables(copy), bankBefore), QString());
}

TEST_F(ImportMergeTest, PartOfACaseUpdatesItAndLeavesItsOtherSubQuestions) {
    const QByteArray file = QByteArray("7,案例,第一章 会计概述/第二节 会计基本假设,K,案例7,,,,,,案例解析7\n") +
                            ",不定项选择题,,K,题目705,选项705-1,选项705-2,选项705-3,选项705-4,C,解析705\n";
    const ToolRun r =
        runTool({QStringLiteral("import"), writeCsv(QStringLiteral("t.csv"), file), QStringLiteral("--bank"), bank});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("提示"))) << r.err.toStdString(); // the case still has 5
    EXPECT_TRUE(r.out.contains(QStringLiteral("答案已更改的题目（答题次数和错题记录已清零，收藏保留）：705")));
    EXPECT_EQ(BankRows(bank, QStringLiteral("select ID, daan, shijuan, YDCS from zongtigan")),
              QStringList{QStringLiteral("7|AFKPS|随机|0")});
    EXPECT_EQ(BankRows(bank, QStringLiteral("select count(*) from kjks_tigan where zongtimian = '7'")),
              QStringList{QStringLiteral("5")});
    EXPECT_EQ(runTool({QStringLiteral("check"), bank}).code, 0);
}

TEST_F(ImportMergeTest, QuestionsChangingTypeCutTheExamDownToWhatTheBankCanDraw) {
    // The exam draws 2 singles of 2 points each; 12 and 14 become multiple choice, 11 stays single.
    const QByteArray file = QByteArray("12,多选题,") + kSection1 +
                            ",,题目12,选项12-1,选项12-2,选项12-3,选项12-4,AB,\n14,多选题," + kSection1 +
                            ",,题目14,选项14-1,选项14-2,选项14-3,选项14-4,CD,\n";
    const ToolRun r =
        runTool({QStringLiteral("import"), writeCsv(QStringLiteral("t.csv"), file), QStringLiteral("--bank"), bank});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("考试方案按题库现有的题目减少了题数：单选题 2 道 4 分 → 1 道 2 分")))
        << r.out.toStdString();
    EXPECT_EQ(BankRows(bank, QStringLiteral("select danxuanti, danxuanfen, duoxuanti from kjks_type")),
              QStringList{QStringLiteral("1|2|1")});
    EXPECT_EQ(runTool({QStringLiteral("check"), bank}).code, 0);
}

TEST_F(ImportMergeTest, AFailureLeavesTheBankAsItWas) {
    // A refused row: nothing is opened for writing, not even a copy is made.
    const QByteArray bankBefore = FileSha256(bank);
    const QString bad =
        writeCsv(QStringLiteral("bad.csv"), QByteArray("11,单选题,") + kSection1 + ",,新题面,甲,乙,,,A,\n,单选题," +
                                                kSection1 + ",,题,甲,乙,,,E,\n");
    ToolRun r = runTool({QStringLiteral("import"), bad, QStringLiteral("--bank"), bank});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(bad + QStringLiteral(":3: 答案 E 超出了选项"))) << r.err.toStdString();
    EXPECT_EQ(FileSha256(bank), bankBefore);
    EXPECT_EQ(backups(), QStringList());

    // A failure while the bank is written: the transaction goes back whole.
    exec(bank, QStringLiteral("create trigger refuse_new before insert on kjks_tigan begin "
                              "select raise(abort, 'injected failure'); end"));
    const QByteArray armed = FileSha256(bank);
    const QString good =
        writeCsv(QStringLiteral("good.csv"), QByteArray("11,单选题,") + kSection1 + ",,新题面,甲,乙,,,A,\n,判断题," +
                                                 kSection1 + ",,新题,,,,,√,\n");
    r = runTool({QStringLiteral("import"), good, QStringLiteral("--bank"), bank});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("导入失败，题库没有改动"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("injected failure")));
    EXPECT_EQ(FileSha256(bank), armed);
    EXPECT_FALSE(QFile::exists(bank + QStringLiteral("-wal")));
}

TEST_F(ImportMergeTest, NewRefusesAFileAndReplaceNamesTheProgressItDrops) {
    const QString csv = QStringLiteral(KJKS_SOURCE_DIR "/docs/import-template.csv");
    const QByteArray bankBefore = FileSha256(bank);
    const BankTables tablesBefore = ReadAllTables(bank);

    ToolRun r = runTool({QStringLiteral("import"), csv, QStringLiteral("--new"), bank});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("已经存在"))) << r.err.toStdString();
    const QString missing = fixture.dir() + QStringLiteral("other.dbf");
    r = runTool({QStringLiteral("import"), csv, QStringLiteral("--bank"), missing});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("不存在")) && r.err.contains(QStringLiteral("--new")))
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(FileSha256(bank), bankBefore);
    EXPECT_EQ(backups(), QStringList());
    EXPECT_EQ(runTool({QStringLiteral("import"), csv, QStringLiteral("--new"), missing}).code, 0);
    EXPECT_EQ(BankRows(missing, QStringLiteral("select count(*) from kjks_tigan")), QStringList{QStringLiteral("8")});

    r = runTool({QStringLiteral("import"), csv, QStringLiteral("--replace"), bank});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    for (const char *line : {"做过的题：7 道", "错题：4 道", "收藏：4 道", "模拟考试试卷：2 套", "其他进度：6 条"})
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(line))) << line << "\n" << r.out.toStdString();
    EXPECT_EQ(BankRows(bank, QStringLiteral("select count(*) from kjks_tigan")), QStringList{QStringLiteral("8")});
    ASSERT_EQ(backups().size(), 1);
    EXPECT_EQ(FirstDifference(ReadAllTables(fixture.dir() + QStringLiteral("备份/") + backups()[0]), tablesBefore),
              QString());

    // Two options naming the bank: a usage mistake.
    EXPECT_EQ(
        runTool({QStringLiteral("import"), csv, QStringLiteral("--bank"), bank, QStringLiteral("--new"), missing}).code,
        2);
}

} // namespace
