// An author's mistakes: each is reported as FILE:LINE: what is wrong, and no bank is written. A row
// that breaks a rule the program copes with is a warning at its line instead, and is built.

#include "BankSource.h"
#include "BankTestSupport.h"
#include "BankWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char kBase[] = R"([kjks_zhangjie 01]
mc: 科目
[kjks_zhangjie 0101]
mc: 第一章
[kjks_zhangjie 010101]
mc: 第一节
)";

// A question of four options; tests append or replace lines after it.
const char kQuestion[] = R"([kjks_tigan 1]
tixing: 单选题
zhang: 1
jie: 1
timian: 题目
option: 甲
option: 乙
option: 丙
option: 丁
)";

struct Mistake {
    const char *name;
    const char *questions; // questions/q.txt
    const char *where;     // expected "FILE:LINE" (file relative to the source folder)
    const char *what;      // expected part of the message
    bool built = false;    // a rule the program copes with: a warning, and the bank is built
};

const Mistake kMistakes[] = {
    {"unknown column", "[kjks_tigan 1]\ntixing: 单选题\ncolour: red\n", "questions/q.txt:3",
     "unknown column 'colour' in kjks_tigan"},
    {"unknown table", "[kjks_question 1]\ntixing: 单选题\n", "questions/q.txt:1", "unknown table 'kjks_question'"},
    {"answer beyond the options", "@daan: E\n", "questions/q.txt:10", "answer letter E is beyond the 4 options", true},
    {"lower-case answer", "@daan: a\n", "questions/q.txt:10", "'a' is not an answer letter", true},
    {"two letters for a single choice", "@daan: AB\n", "questions/q.txt:10", "a single-choice answer is one letter",
     true},
    {"letters out of order",
     "[kjks_tigan 2]\ntixing: 多选题\nzhang: 1\njie: 1\ntimian: 题\noption: 甲\noption: 乙\ndaan: BA\n",
     "questions/q.txt:8", "answer letters go in option order", true},
    {"true/false answer", "[kjks_tigan 2]\ntixing: 判断题\nzhang: 1\njie: 1\ntimian: 题\ndaan: 对\n",
     "questions/q.txt:6", "a true/false answer is √ or ×", true},
    {"sub-question of no case",
     "[kjks_tigan 2]\ntixing: 不定项选择题\nzongtimian: 99\ntimian: 题\noption: 甲\noption: 乙\ndaan: A\n",
     "questions/q.txt:3", "there is no case 99", true},
    {"case answer differs",
     "[zongtigan 5]\nzhang: 1\njie: 1\nzongtimian: 资料\ndaan: AB\n"
     "[kjks_tigan 2]\ntixing: 不定项选择题\nzongtimian: 5\ntimian: 题\noption: 甲\noption: 乙\ndaan: B\n",
     "questions/q.txt:5", "the case answer is 'AB', but its sub-questions give 'B'", true},
    {"case without sub-questions", "[zongtigan 5]\nzhang: 1\njie: 1\nzongtimian: 资料\n", "questions/q.txt:1",
     "the case has no sub-questions", true},
    {"sub-question typed as single choice",
     "[zongtigan 5]\nzhang: 1\njie: 1\nzongtimian: 资料\n"
     "[kjks_tigan 2]\ntixing: 单选题\nzongtimian: 5\ntimian: 题\noption: 甲\noption: 乙\ndaan: B\n",
     "questions/q.txt:6", "must not carry the type 单选题", true},
    {"duplicate id", "@daan: A\n[kjks_tigan 1]\ntixing: 判断题\n", "questions/q.txt:11",
     "duplicate [kjks_tigan 1], first written at"},
    {"missing picture", "@tmimage: pictures/none.jpg\n", "questions/q.txt:10",
     "cannot read the picture 'pictures/none.jpg'"},
    {"picture that is no image", "@tmimage: pictures/bad.jpg\n", "questions/q.txt:10",
     "the picture is not a readable image", true},
    {"character GBK cannot hold", "[kjks_tigan 2]\ntixing: 判断题\nzhang: 1\njie: 1\ntimian: 好 \xF0\x9F\x98\x80\n",
     "questions/q.txt:5", "the character '\xF0\x9F\x98\x80' (U+1F600) cannot be written in GBK"},
    {"GBK in an option", "@option: \xE0\xB8\x81\n", "questions/q.txt:10", "(U+0E01) cannot be written in GBK"},
    {"malformed line", "@just some words\n", "questions/q.txt:10", "expected '[table key]' or 'column: value'"},
    {"full-width colon", "@daan：A\n", "questions/q.txt:10", "with an ASCII colon"},
    {"header without key", "[kjks_tigan]\n", "questions/q.txt:1", "a record header is written [table key]"},
    {"header not closed", "[kjks_tigan 3\n", "questions/q.txt:1", "a record header is written [table key]"},
    {"key not a number", "[kjks_tigan 3a]\n", "questions/q.txt:1", "the key of kjks_tigan is a whole number above 0"},
    {"non-integer chapter", "[kjks_tigan 2]\ntixing: 判断题\nzhang: 一\njie: 1\ntimian: 题\n", "questions/q.txt:3",
     "zhang: '一' is not a whole number"},
    {"non-integer count", "[kjks_type 1]\ndanxuanti: 24道\n", "questions/q.txt:2",
     "danxuanti: '24道' is not a whole number"},
    {"non-number score", "[kjks_SJML 3]\nDEFEN: 高\n", "questions/q.txt:2", "DEFEN: '高' is not a number"},
    {"column given twice", "@daan: A\ndaan: B\n", "questions/q.txt:11", "daan is given twice (first at line 10)"},
    {"continuation without value", "  stray continuation\n", "questions/q.txt:1", "no value comes before it"},
    {"column before any header", "tixing: 单选题\n", "questions/q.txt:1", "comes before any [table key] header"},
    {"bad escape", "@daan:: \"A\\q\"\n", "questions/q.txt:10", "unknown escape \\q"},
    {"escaped value continued", "@jiexi:: \"a\"\n  b\n", "questions/q.txt:11", "an escaped value does not continue"},
    {"escaped value without quotes", "@daan:: A\n", "questions/q.txt:10", "between double quotes"},
    {"control character", "@jiexi: a\x01z\n", "questions/q.txt:10", "control character U+0001"},
    {"invalid UTF-8", "@jiexi: \xC3\x28\n", "questions/q.txt:10", "the line is not valid UTF-8"},
    {"section not in the tree", "[kjks_tigan 2]\ntixing: 判断题\nzhang: 1\njie: 9\ntimian: 题\n", "questions/q.txt:3",
     "section 010109 (chapter 1, section 9) is not in the chapter tree", true},
    {"chapter without parent", "[kjks_zhangjie 010201]\nmc: 孤儿\n", "questions/q.txt:1",
     "its parent 0102 is not in the chapter tree", true},
    {"question without type", "[kjks_tigan 2]\nzhang: 1\njie: 1\ntimian: 题\n", "questions/q.txt:1",
     "the question type is missing", true},
    {"unknown type", "[kjks_tigan 2]\ntixing: 单选\nzhang: 1\njie: 1\ntimian: 题\n", "questions/q.txt:2",
     "'单选' is not a question type", true},
    {"flag other than 0 or 1", "@YDCS: 是\n", "questions/q.txt:10", "a flag holds 1 or 0, not '是'", true},
    {"paper item of no paper", "[shijuan 4]\nsjID: 3\nxth: 1\n", "questions/q.txt:2", "there is no paper 3", true},
};

class SourceMistakes : public ::testing::TestWithParam<Mistake> {};

// The question file: "@..." lines go after the four-option question, anything else stands alone.
QByteArray questionsFor(const char *text) {
    const QByteArray t(text);
    return t.startsWith('@') ? QByteArray(kQuestion) + t.mid(1) : t;
}

TEST_P(SourceMistakes, AreReportedAtTheirLineAndNoBankIsWritten) {
    const Mistake &m = GetParam();
    QTemporaryDir dir;
    const QString source = QDir(dir.path()).filePath(QStringLiteral("src"));
    SourceFiles files{{QStringLiteral("bank.txt"), QByteArray(kBase)},
                      {QStringLiteral("questions/q.txt"), questionsFor(m.questions)},
                      {QStringLiteral("pictures/bad.jpg"), QByteArray("this is not a picture")}};
    WriteSourceFiles(source, files);

    const QString bank = QDir(dir.path()).filePath(QStringLiteral("kjks.dbf"));
    const QString expected = source + QLatin1Char('/') + QString::fromUtf8(m.where) + QStringLiteral(": ");
    auto located = [&](const QStringList &problems) {
        bool found = false;
        for (const QString &p : problems)
            found = found || (p.startsWith(expected) && p.contains(QString::fromUtf8(m.what)));
        return found;
    };
    QStringList warnings;
    try {
        WriteBank(ReadBankSource(source, &warnings), bank);
        EXPECT_TRUE(m.built) << m.name << ": no error reported";
        EXPECT_TRUE(located(warnings)) << m.name << ": expected " << expected.toStdString() << "..." << m.what
                                       << "\ngot:\n"
                                       << warnings.join(QLatin1Char('\n')).toStdString();
    } catch (const BankSourceError &e) {
        EXPECT_FALSE(m.built) << m.name << ": refused: " << e.problems().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(located(e.problems()))
            << m.name << ": expected " << expected.toStdString() << "..." << m.what << "\ngot:\n"
            << e.problems().join(QLatin1Char('\n')).toStdString();
    }
    EXPECT_EQ(QFile::exists(bank), m.built);
}

INSTANTIATE_TEST_SUITE_P(Table, SourceMistakes, ::testing::ValuesIn(kMistakes),
                         [](const ::testing::TestParamInfo<Mistake> &info) {
                             std::string n = info.param.name;
                             for (char &c : n)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

TEST(SourceReader, ReportsEveryMistakeAtOnce) {
    QTemporaryDir dir;
    WriteSourceFiles(dir.path(),
                     {{QStringLiteral("bank.txt"), QByteArray(kBase)},
                      {QStringLiteral("questions/q.txt"),
                       QByteArray(kQuestion) + "timian_stored: 00\ncolour: red\n[kjks_foo 1]\nzhang: x\n"}});
    try {
        ReadBankSource(dir.path());
        FAIL();
    } catch (const BankSourceError &e) {
        EXPECT_EQ(e.problems().size(), 3) << e.problems().join(QLatin1Char('\n')).toStdString();
    }
}

TEST(SourceReader, NeedsTheFolderAndBankTxt) {
    QTemporaryDir dir;
    EXPECT_THROW(ReadBankSource(QDir(dir.path()).filePath(QStringLiteral("none"))), BankSourceError);
    try {
        ReadBankSource(dir.path());
        FAIL();
    } catch (const BankSourceError &e) {
        EXPECT_TRUE(e.problems().value(0).contains(QStringLiteral("bank.txt: missing")));
    }
}

// The command itself: a failed build keeps the bank that was there and exits non-zero.
TEST(BankCommand, FailedBuildKeepsTheOldBank) {
    QTemporaryDir dir;
    const QString good = QDir(dir.path()).filePath(QStringLiteral("good"));
    const QString bad = QDir(dir.path()).filePath(QStringLiteral("bad"));
    WriteSourceFiles(good, FullSource());
    WriteSourceFiles(bad, {{QStringLiteral("bank.txt"), QByteArray(kBase)},
                           {QStringLiteral("questions/q.txt"), QByteArray(kQuestion) + "daan: E\ncolour: red\n"}});
    const QString bank = QDir(dir.path()).filePath(QStringLiteral("kjks.dbf"));

    QProcess p;
    p.start(QStringLiteral(KJKS_BANK_EXE), {QStringLiteral("build"), good, bank});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const BankTables before = ReadAllTables(bank);

    p.start(QStringLiteral(KJKS_BANK_EXE), {QStringLiteral("build"), bad, bank});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_NE(p.exitCode(), 0);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_TRUE(err.contains(bad + QStringLiteral("/questions/q.txt:11: unknown column 'colour' in kjks_tigan")))
        << err.toStdString();
    EXPECT_EQ(FirstDifference(before, ReadAllTables(bank)), QString());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kjks.dbf")});

    // Warnings (an exam option the program cannot use) are printed, yet the check succeeds.
    auto warned = FullSource();
    warned[QStringLiteral("options.txt")] = "[sys_option EXAM_MINUTES]\noption_value: 105\n"
                                            "[sys_option EXAM_SCORING]\noption_value: half\n";
    const QString warnedDir = QDir(dir.path()).filePath(QStringLiteral("warned"));
    WriteSourceFiles(warnedDir, warned);
    const QString warnedBank = QDir(dir.path()).filePath(QStringLiteral("warned.dbf"));
    p.start(QStringLiteral(KJKS_BANK_EXE), {QStringLiteral("build"), warnedDir, warnedBank});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    p.start(QStringLiteral(KJKS_BANK_EXE), {QStringLiteral("check"), warnedBank});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString warnings = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 0) << warnings.toStdString();
    EXPECT_TRUE(warnings.contains(QStringLiteral("warning: sys_option EXAM_SCORING: 'half'")))
        << warnings.toStdString();
    EXPECT_FALSE(warnings.contains(QStringLiteral("EXAM_MINUTES")));
    QFile::remove(warnedBank);
    QDir(warnedDir).removeRecursively();

    p.start(QStringLiteral(KJKS_BANK_EXE), {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString help = QString::fromUtf8(p.readAllStandardOutput());
    for (const char *command : {"build SOURCE_DIR BANK", "export BANK OUT_DIR", "synth --questions N", "check BANK"})
        EXPECT_TRUE(help.contains(QString::fromLatin1(command))) << command;

    p.start(QStringLiteral(KJKS_BANK_EXE), {QStringLiteral("frobnicate")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 2);
}

} // namespace
