// What the program copes with is a warning: a bank made by another tool that holds such rows exports
// and builds back, and `--strict` refuses it. Every problem of a run comes at once, in file order.

#include "BankCheck.h"
#include "BankExport.h"
#include "BankRules.h"
#include "BankSource.h"
#include "BankTestSupport.h"
#include "BankWriter.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

BankQuestion question(int id, const QString &tixing, const QString &timian, const QString &daan, int options = 0) {
    BankQuestion q;
    q.id = id;
    q.tixing = tixing;
    q.timian = timian;
    q.daan = daan;
    q.zhang = 1;
    q.jie = 1;
    for (int i = 0; i < options; ++i)
        q.options.push_back(BankOption{QStringLiteral("选项%1").arg(i + 1), false});
    return q;
}

struct Oddity {
    const char *name;
    std::function<void(BankModel &)> change;
    const char *file; // where the export writes the row, relative to the export
    const char *what; // part of the warning
};

const Oddity kOddities[] = {
    {"question without an answer",
     [](BankModel &m) { m.questions.push_back(question(50, QStringLiteral("判断题"), QStringLiteral("无答案"), {})); },
     "questions/ch01.txt", "缺少答案 daan"},
    {"section outside the chapter table",
     [](BankModel &m) {
         BankQuestion q = question(51, QStringLiteral("判断题"), QStringLiteral("第九节的题"), QStringLiteral("√"));
         q.jie = 9;
         m.questions.push_back(q);
     },
     "questions/ch01.txt", "第 1 章第 9 节（010109）不在章节目录中"},
    {"short case in the exam pool",
     [](BankModel &m) {
         BankProfile &p = m.profiles.front();
         p.columns[QStringLiteral("shicaotype")] = QStringLiteral("不定项选择题");
         p.columns[QStringLiteral("shicaoti")] = QString::number(CaseSubQuestionsPerPaper(m));
         for (BankStem &s : m.stems)
             s.flag_state = 0;
     },
     "questions/ch01.txt", "这个案例只有 2 道"},
    {"chapter without its parent",
     [](BankModel &m) {
         m.chapters.push_back(BankChapter{QStringLiteral("010201"), QStringLiteral("孤节")});
     },
     "bank.txt", "上一级 0102 不在章节目录中"},
    {"case without sub-questions",
     [](BankModel &m) {
         BankStem s;
         s.id = 8;
         s.zhang = 1;
         s.jie = 1;
         s.zongtimian = QStringLiteral("没有小题的资料");
         m.stems.push_back(s);
     },
     "questions/ch01.txt", "案例没有小题"},
    {"case answer other than its sub-questions'", [](BankModel &m) { m.stems.front().daan = QStringLiteral("A"); },
     "questions/ch01.txt", "案例答案是“A”，各小题的答案合起来是"},
    {"sub-question of no case",
     [](BankModel &m) {
         BankQuestion q = question(52, QStringLiteral("不定项选择题"), QStringLiteral("孤题"), QStringLiteral("A"), 2);
         q.zongtimian = QStringLiteral("99");
         m.questions.push_back(q);
     },
     "questions/ch01.txt", "没有案例 99"},
    {"type the program does not know",
     [](BankModel &m) { m.questions.push_back(question(53, QStringLiteral("单选"), QStringLiteral("题"), {})); },
     "questions/ch01.txt", "“单选”不是题型"},
    {"answer beyond the options",
     [](BankModel &m) {
         m.questions.push_back(question(54, QStringLiteral("单选题"), QStringLiteral("超出"), QStringLiteral("C"), 2));
     },
     "questions/ch01.txt", "答案字母 C 超出了 2 个选项"},
    {"picture that is no image", [](BankModel &m) { m.questions.front().tmimage = QByteArray("not a picture"); },
     "questions/ch01.txt", "图片无法读取"},
    {"same question twice",
     [](BankModel &m) {
         BankQuestion q = m.questions.front();
         q.id = 55;
         m.questions.push_back(q);
     },
     "questions/ch01.txt", "与题目 1 的题型和题干相同"},
};

class ToleratedOddity : public ::testing::TestWithParam<Oddity> {};

// The bank is written as another tool would, without any check; its export builds with a warning at
// the row's line and gives the same rows back; `--strict` refuses it; `check` warns and passes.
TEST_P(ToleratedOddity, ExportBuildsWithAWarningAndStrictRefusesIt) {
    const Oddity &o = GetParam();
    QTemporaryDir dir;
    const auto path = [&](const char *name) { return QDir(dir.path()).filePath(QString::fromLatin1(name)); };
    WriteSourceFiles(path("source"), FullSource());
    BankModel model = ReadBankSource(path("source"));
    o.change(model);
    std::sort(model.questions.begin(), model.questions.end(),
              [](const BankQuestion &a, const BankQuestion &b) { return a.id < b.id; });
    WriteBank(model, path("other.dbf"));

    for (const QString &line : CheckBank(path("other.dbf")))
        EXPECT_TRUE(line.startsWith(kCheckWarning())) << o.name << ": " << line.toStdString();

    std::vector<BankProblem> undecodable;
    ExportBank(path("other.dbf"), path("export"), &undecodable);
    QStringList warnings;
    ASSERT_NO_THROW(BuildBank(path("export"), path("again.dbf"), &warnings)) << o.name;
    const QString at = path("export") + QLatin1Char('/') + QString::fromLatin1(o.file) + QLatin1Char(':');
    bool found = false;
    for (const QString &w : warnings)
        found = found || (w.startsWith(at) && w.contains(QString::fromUtf8(o.what)));
    EXPECT_TRUE(found) << o.name << ":\n" << warnings.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(FirstDifference(ReadAllTables(path("other.dbf")), ReadAllTables(path("again.dbf"))).toStdString(), "");

    try {
        BuildBank(path("export"), path("strict.dbf"), nullptr, true);
        ADD_FAILURE() << o.name << ": --strict built it";
    } catch (const BankSourceError &e) {
        EXPECT_TRUE(e.problems().join(QLatin1Char('\n')).contains(QString::fromUtf8(o.what))) << o.name;
    }
    EXPECT_FALSE(QFile::exists(path("strict.dbf")));
}

INSTANTIATE_TEST_SUITE_P(Table, ToleratedOddity, ::testing::ValuesIn(kOddities),
                         [](const ::testing::TestParamInfo<Oddity> &info) {
                             std::string n = info.param.name;
                             for (char &c : n)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

// Syntax mistakes, broken rules and warnings of two files, all in one run: file by file, line by line,
// each warning among the errors where it stands.
TEST(SourceProblems, AllComeInOneRunInFileOrder) {
    QTemporaryDir dir;
    SourceFiles files = FullSource();
    files[QStringLiteral("questions/m1.txt")] = R"([kjks_tigan 301]
tixing: 单选题
zhang: 1
jie: 1
timian: 甲
option: 一
option: 二
daan: C
colour: red
[kjks_tigan 302]
tixing: 判断题
zhang: 1
jie: 7
timian: 乙
daan: 错
[kjks_tigan 3a]
tixing: 判断题
colour: 蓝
[kjks_tigan 303]
tixing: 判断题
zhang: x
jie: 1
timian: 丙
daan: √
jiexi: 好 😀
)";
    files[QStringLiteral("questions/m2.txt")] = R"([zongtigan 40]
zhang: 1
jie: 1
zongtimian: 资料
[kjks_tigan 304]
tixing: 多选题
zhang: 1
jie: 1
timian: 丁
option: 一
option: 二
daan: ba
daan: AB
[kjks_tigan 305]
tixing: 单选题
zhang: 1
jie: 1
timian: 甲
option: 一
option: 二
[kjks_foo 1]
tixing：单选题
)";
    WriteSourceFiles(dir.path(), files);
    const QString m1 = QDir(dir.path()).filePath(QStringLiteral("questions/m1.txt")) + QLatin1Char(':');
    const QString m2 = QDir(dir.path()).filePath(QStringLiteral("questions/m2.txt")) + QLatin1Char(':');
    const QString w = SourceWarningPrefix();
    const QStringList expected = {
        w + m1 + QStringLiteral("8: 答案字母 C 超出了 2 个选项"),
        m1 + QStringLiteral("9: kjks_tigan 没有“colour”这一列"),
        w + m1 + QStringLiteral("12: 第 1 章第 7 节（010107）不在章节目录中"),
        w + m1 + QStringLiteral("15: 判断题的答案写 √（正确）或 ×（错误），不能是“错”"),
        m1 + QStringLiteral("16: kjks_tigan 的编号是大于 0 的整数"),
        m1 + QStringLiteral("18: kjks_tigan 没有“colour”这一列"),
        m1 + QStringLiteral("21: zhang: “x”不是整数"),
        w + m1 + QStringLiteral("21: 第 0 章第 1 节（010001）不在章节目录中"),
        m1 + QStringLiteral("25: 字符“😀”（U+1F600）不能用 GBK 保存"),
        w + m2 + QStringLiteral("1: 案例没有小题"),
        w + m2 + QStringLiteral("12: “b”是小写字母"),
        m2 + QStringLiteral("13: daan 写了两次（第一次在第 12 行）"),
        w + m2 + QStringLiteral("14: 缺少答案 daan"),
        w + m2 + QStringLiteral("18: 与题目 301 的题型和题干相同：删去重复的一道，或改写题干（301 写在 ") + m1 +
            QStringLiteral("1）"),
        m2 + QStringLiteral("21: 没有“kjks_foo”这个表"),
    };
    try {
        BuildBank(dir.path(), QDir(dir.path()).filePath(QStringLiteral("kjks.dbf")));
        FAIL();
    } catch (const BankSourceError &e) {
        const QStringList got = e.problems();
        EXPECT_EQ(e.errorCount(), 7);
        ASSERT_EQ(got.size(), expected.size()) << got.join(QLatin1Char('\n')).toStdString();
        for (int i = 0; i < got.size(); ++i)
            EXPECT_TRUE(got[i].startsWith(expected[i])) << i << ": " << got[i].toStdString();
    }
}

// The command: warnings pass unless --strict, for build and check alike.
TEST(StrictOption, TurnsWarningsIntoFailures) {
    QTemporaryDir dir;
    const auto path = [&](const char *name) { return QDir(dir.path()).filePath(QString::fromLatin1(name)); };
    SourceFiles files = FullSource();
    files[QStringLiteral("questions/w.txt")] = "[kjks_tigan 60]\ntixing: 判断题\nzhang: 1\njie: 1\ntimian: 无答案\n";
    WriteSourceFiles(path("source"), files);
    const auto run = [&](const QStringList &args, QString *err) {
        QProcess p;
        p.start(QStringLiteral(KJKS_BANK_EXE), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };
    QString err;
    EXPECT_EQ(run({QStringLiteral("build"), path("source"), path("a.dbf")}, &err), 0) << err.toStdString();
    EXPECT_TRUE(err.contains(SourceWarningPrefix() + path("source") + QStringLiteral("/questions/w.txt:1: 缺少答案")))
        << err.toStdString();
    EXPECT_EQ(run({QStringLiteral("check"), path("a.dbf")}, &err), 0) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("警告：题目 60 的答案：缺少答案"))) << err.toStdString();
    EXPECT_EQ(run({QStringLiteral("check"), QStringLiteral("--strict"), path("a.dbf")}, &err), 1) << err.toStdString();

    EXPECT_EQ(run({QStringLiteral("build"), QStringLiteral("--strict"), path("source"), path("b.dbf")}, &err), 1);
    EXPECT_TRUE(err.contains(path("source") + QStringLiteral("/questions/w.txt:1: 缺少答案"))) << err.toStdString();
    EXPECT_FALSE(QFile::exists(path("b.dbf")));
}

} // namespace
