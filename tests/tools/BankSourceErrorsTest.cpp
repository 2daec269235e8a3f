// An author's mistakes: each is reported as FILE:LINE: what is wrong, and no bank is written. A row
// that breaks a rule the program copes with is a warning at its line instead, and is built.

#include "BankRules.h"
#include "BankSource.h"
#include "BankTestSupport.h"
#include "BankWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace {

// A question of four options without an answer; "@" rows append lines after it (from line 10).
const char kQuestion[] = R"([kjks_tigan 101]
tixing: 单选题
zhang: 1
jie: 1
timian: 题目
option: 甲
option: 乙
option: 丙
option: 丁
)";

// Rows built in code: 27 options; a case whose two sub-questions have 28 options together; a value
// one character over the limit.
const std::string kTwentySevenOptions = [] {
    std::string s = "@";
    for (int i = 0; i < 23; ++i)
        s += "option: 选项\n";
    return s + "daan: A\n";
}();
const std::string kCasePastZ = [] {
    std::string s = "[zongtigan 5]\nzhang: 1\njie: 1\nzongtimian: 资料\n";
    for (int id : {102, 103}) {
        s += "[kjks_tigan " + std::to_string(id) + "]\ntixing: 不定项选择题\nzongtimian: 5\ntimian: 题\ndaan: A\n";
        for (int i = 0; i < 14; ++i)
            s += "option: 选项\n";
    }
    return s;
}();
const std::string kValueOverLimit = "@daan: A\njiexi: " + std::string(size_t(kMaxTextChars) + 1, 'x') + "\n";

// Special files a stranger's folder may hold, made before the build.
using Setup = void (*)(const QString &source);
void linkToZeroDevice(const QString &source) {
    QFile::link(QStringLiteral("/dev/zero"), source + QStringLiteral("/questions/zero.txt"));
}
// A file beside the folder, and links to it from inside.
QString outsideFile(const QString &source) {
    const QString outside = source + QStringLiteral("/../outside.jpg");
    WriteSourceFiles(source + QStringLiteral("/.."), {{QStringLiteral("outside.jpg"), TestJpeg()}});
    return QFileInfo(outside).canonicalFilePath();
}
void linkOut(const QString &source) {
    QFile::link(outsideFile(source), source + QStringLiteral("/questions/out.txt"));
}
void pictureLinkOut(const QString &source) {
    QFile::link(outsideFile(source), source + QStringLiteral("/pictures/out.jpg"));
}
void questionsPipe(const QString &source) {
    ::mkfifo(QFile::encodeName(source + QStringLiteral("/questions/pipe.txt")).constData(), 0600);
}
void picturePipe(const QString &source) {
    ::mkfifo(QFile::encodeName(source + QStringLiteral("/pictures/pipe.jpg")).constData(), 0600);
}
// Sparse files one byte over the limits: nothing is written to the disk.
void bigFile(const QString &path, qint64 size) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.resize(size);
}
void bigQuestions(const QString &source) {
    bigFile(source + QStringLiteral("/questions/big.txt"), kMaxSourceFileBytes + 1);
}
void bigPicture(const QString &source) {
    bigFile(source + QStringLiteral("/pictures/big.jpg"), kMaxPictureBytes + 1);
}

struct Mistake {
    const char *name;
    std::string questions; // questions/q.txt; "<NUL>" stands for a raw NUL byte
    const char *where;     // expected "FILE:LINE" or "FILE" (relative to the source folder)
    const char *what;      // expected part of the message
    bool built = false;    // the learner's own records: a warning, and the bank is built
    Setup setup = nullptr;
    const char *bankFrom = nullptr; // bank.txt: this line replaced by `bankTo`
    const char *bankTo = nullptr;
};

// Every source starts from FullSource(), whose profile its questions fill.
const Mistake kMistakes[] = {
    // An untrusted folder: only regular files inside it are read, each within its limit.
    {"link to the zero device", "", "questions/zero.txt", "指向题库文件夹以外（/dev/zero）的链接", false,
     linkToZeroDevice},
    {"link out of the folder", "", "questions/out.txt", "指向题库文件夹以外", false, linkOut},
    {"pipe", "", "questions/pipe.txt", "不是普通文件", false, questionsPipe},
    {"absolute picture path", "@daan: A\ntmimage: /etc/passwd\n", "questions/q.txt:11", "“/etc/passwd”是绝对路径"},
    {"picture path out of the folder", "@daan: A\ntmimage: pictures/../../outside.jpg\n", "questions/q.txt:11",
     "含有“..”"},
    {"picture linked out of the folder", "@daan: A\ntmimage: pictures/out.jpg\n", "questions/q.txt:11",
     "指向题库文件夹以外", false, pictureLinkOut},
    {"picture that is a pipe", "@daan: A\ntmimage: pictures/pipe.jpg\n", "questions/q.txt:11", "不是普通文件", false,
     picturePipe},
    {"file over the limit", "", "questions/big.txt", "超过上限 67108864 字节", false, bigQuestions},
    {"picture over the limit", "@daan: A\ntmimage: pictures/big.jpg\n", "questions/q.txt:11", "超过上限 16777216 字节",
     false, bigPicture},
    {"value over the limit", kValueOverLimit, "questions/q.txt:11", "值超过 1048576 个字符的上限"},
    {"raw NUL", "@daan: A\njiexi: a<NUL>z\n", "questions/q.txt:11", "值中有控制字符 U+0000"},
    {"NUL through an escape", "@daan: A\njiexi:: \"a\\u0000z\"\n", "questions/q.txt:11", "\\u0000 是控制字符"},
    {"control character", "@daan: A\njiexi: a\x01z\n", "questions/q.txt:11", "值中有控制字符 U+0001"},
    {"more than 26 options", kTwentySevenOptions, "questions/q.txt:32", "选项最多 26 个（A 到 Z），这里有 27 个"},
    {"case options past Z", kCasePastZ, "questions/q.txt:1", "案例各小题共有 28 个选项，超过 26 个"},

    // Authoring mistakes: each names its line and how to write it right. Those the program copes with
    // (it skips the row, shows it without a chapter, scores it as written) are warnings: the bank is
    // built, as a bank made by another tool must build back from its export.
    {"question without an answer", "@jiexi: 解析\n", "questions/q.txt:1", "缺少答案 daan", true},
    {"answer beyond the options", "@daan: E\n", "questions/q.txt:10", "答案字母 E 超出了 4 个选项", true},
    {"lower-case answer", "@daan: a\n", "questions/q.txt:10", "“a”是小写字母：答案用大写字母，写 A", true},
    {"full-width answer", "@daan: Ａ\n", "questions/q.txt:10", "“Ａ”是全角字母：答案用半角大写字母，写 A", true},
    {"two letters for a single choice", "@daan: AB\n", "questions/q.txt:10", "单选题的答案是一个字母", true},
    {"letters out of order",
     "[kjks_tigan 102]\ntixing: 多选题\nzhang: 1\njie: 1\ntimian: 题\noption: 甲\noption: 乙\noption: 丙\noption: "
     "丁\ndaan: DBA\n",
     "questions/q.txt:10", "答案字母按选项顺序写、不重复：写“ABD”，不是“DBA”", true},
    {"true/false answer in words", "[kjks_tigan 102]\ntixing: 判断题\nzhang: 1\njie: 1\ntimian: 题\ndaan: 错\n",
     "questions/q.txt:6", "判断题的答案写 √（正确）或 ×（错误），不能是“错”", true},
    {"section not in the tree", "[kjks_tigan 102]\ntixing: 判断题\nzhang: 1\njie: 9\ntimian: 题\ndaan: √\n",
     "questions/q.txt:3", "第 1 章第 9 节（010109）不在章节目录中", true},
    {"chapter without parent", "[kjks_zhangjie 010201]\nmc: 孤儿\n", "questions/q.txt:1",
     "上一级 0102 不在章节目录中：加上 [kjks_zhangjie 0102]", true},
    {"question without type", "[kjks_tigan 102]\nzhang: 1\njie: 1\ntimian: 题\ndaan: √\n", "questions/q.txt:1",
     "缺少题型 tixing", true},
    {"unknown type", "[kjks_tigan 102]\ntixing: 单选\nzhang: 1\njie: 1\ntimian: 题\ndaan: A\n", "questions/q.txt:2",
     "“单选”不是题型", true},
    {"sub-question of no case",
     "[kjks_tigan 102]\ntixing: 不定项选择题\nzongtimian: 99\ntimian: 题\noption: 甲\noption: 乙\ndaan: A\n",
     "questions/q.txt:3", "没有案例 99", true},
    {"case answer differs",
     "[zongtigan 5]\nzhang: 1\njie: 1\nzongtimian: 资料\ndaan: AB\n"
     "[kjks_tigan 102]\ntixing: 不定项选择题\nzongtimian: 5\ntimian: 题\noption: 甲\noption: 乙\ndaan: B\n",
     "questions/q.txt:5", "案例答案是“AB”，各小题的答案合起来是“B”", true},
    {"case without sub-questions", "[zongtigan 5]\nzhang: 1\njie: 1\nzongtimian: 资料\n", "questions/q.txt:1",
     "案例没有小题", true},
    {"sub-question typed as single choice",
     "[zongtigan 5]\nzhang: 1\njie: 1\nzongtimian: 资料\n"
     "[kjks_tigan 102]\ntixing: 单选题\nzongtimian: 5\ntimian: 题\noption: 甲\noption: 乙\ndaan: B\n",
     "questions/q.txt:6", "案例小题的题型不能是 单选题", true},
    {"missing picture", "@daan: A\ntmimage: pictures/none.jpg\n", "questions/q.txt:11",
     "图片“pictures/none.jpg”：找不到这个文件"},
    {"picture that is no image", "@daan: A\ntmimage: pictures/bad.jpg\n", "questions/q.txt:11", "图片无法读取", true},
    {"character GBK cannot hold", "@daan: A\njiexi: 好 \xF0\x9F\x98\x80\n", "questions/q.txt:11",
     "字符“\xF0\x9F\x98\x80”（U+1F600）不能用 GBK 保存"},
    {"GBK in an option", "@option: \xE0\xB8\x81\n", "questions/q.txt:10", "（U+0E01）不能用 GBK 保存"},
    {"case section of 0 with points", "", "bank.txt:21", "shicaofen 是“5”：shicaoti 是 0", false, nullptr,
     "shicaoti: 1", "shicaoti: 0"},
    {"points of 0", "", "bank.txt:21", "shicaofen 是“0”", false, nullptr, "shicaofen: 5", "shicaofen: 0"},
    {"section the bank cannot fill", "", "bank.txt:11", "一份试卷抽 3 道单选题，题库只有 1 道可抽", false, nullptr,
     "danxuanti: 1", "danxuanti: 3"},

    // Syntax.
    {"unknown column", "[kjks_tigan 101]\ntixing: 单选题\ncolour: red\n", "questions/q.txt:3",
     "kjks_tigan 没有“colour”这一列"},
    {"unknown table", "[kjks_question 1]\ntixing: 单选题\n", "questions/q.txt:1", "没有“kjks_question”这个表"},
    {"duplicate id", "@daan: A\n[kjks_tigan 101]\ntixing: 判断题\n", "questions/q.txt:11",
     "[kjks_tigan 101] 重复了，第一次写在"},
    {"malformed line", "@just some words\n", "questions/q.txt:10", "这一行应当是 [表名 编号] 或 列名: 值"},
    {"full-width colon", "@daan：A\n", "questions/q.txt:10", "用英文冒号“:”，不是中文冒号“：”"},
    {"header without key", "[kjks_tigan]\n", "questions/q.txt:1", "记录头写作 [表名 编号]"},
    {"header not closed", "[kjks_tigan 3\n", "questions/q.txt:1", "记录头写作 [表名 编号]"},
    {"key not a number", "[kjks_tigan 3a]\n", "questions/q.txt:1", "kjks_tigan 的编号是大于 0 的整数"},
    {"non-integer chapter", "[kjks_tigan 102]\ntixing: 判断题\nzhang: 一\njie: 1\ntimian: 题\ndaan: √\n",
     "questions/q.txt:3", "zhang: “一”不是整数"},
    {"non-integer count", "[kjks_type 2]\ndanxuanti: 24道\n", "questions/q.txt:2", "danxuanti: “24道”不是整数"},
    {"non-number score", "[kjks_SJML 3]\nDEFEN: 高\n", "questions/q.txt:2", "DEFEN: “高”不是数字"},
    {"column given twice", "@daan: A\ndaan: B\n", "questions/q.txt:11", "daan 写了两次（第一次在第 10 行）"},
    {"continuation without value", "  stray continuation\n", "questions/q.txt:1", "前面没有值"},
    {"column before any header", "tixing: 单选题\n", "questions/q.txt:1", "前面没有 [表名 编号] 记录头"},
    {"bad escape", "@daan:: \"A\\q\"\n", "questions/q.txt:10", "未知的转义 \\q"},
    {"escaped value continued", "@jiexi:: \"a\"\n  b\n", "questions/q.txt:11", "转义形式的值不能在下一行接着写"},
    {"escaped value without quotes", "@daan:: A\n", "questions/q.txt:10", "英文双引号"},
    {"invalid UTF-8", "@jiexi: \xC3\x28\n", "questions/q.txt:10", "文件不是 UTF-8 编码"},

    // The learner's own records: the program copes, so they are warnings and the bank is built.
    {"flag other than 0 or 1", "[kjks_tigan 102]\ntixing: 判断题\nzhang: 1\njie: 1\ntimian: 题\ndaan: √\nYDCS: 是\n",
     "questions/q.txt:7", "标记只能是 1 或 0，不能是“是”", true},
    {"paper item of no paper", "[shijuan 4]\nsjID: 3\nxth: 1\n", "questions/q.txt:2", "没有试卷 3", true},
};

class SourceMistakes : public ::testing::TestWithParam<Mistake> {};

// The question file: "@..." lines go after the four-option question, anything else stands alone.
QByteArray questionsFor(const std::string &text) {
    QByteArray t = QByteArray::fromStdString(text);
    t.replace("<NUL>", QByteArray(1, '\0'));
    return t.startsWith('@') ? QByteArray(kQuestion) + t.mid(1) : t;
}

TEST_P(SourceMistakes, AreReportedAtTheirLineAndNoBankIsWritten) {
    const Mistake &m = GetParam();
    QTemporaryDir dir;
    const QString source = QDir(dir.path()).filePath(QStringLiteral("src"));
    SourceFiles files = FullSource();
    files[QStringLiteral("questions/q.txt")] = questionsFor(m.questions);
    files[QStringLiteral("pictures/bad.jpg")] = QByteArray("this is not a picture");
    if (m.bankFrom) {
        QByteArray &bank = files[QStringLiteral("bank.txt")];
        ASSERT_TRUE(bank.contains(m.bankFrom)) << m.name;
        bank.replace(m.bankFrom, m.bankTo);
    }
    WriteSourceFiles(source, files);
    if (m.setup) m.setup(source);

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
        BuildBank(source, bank, &warnings);
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
    SourceFiles files = FullSource();
    files[QStringLiteral("questions/q.txt")] =
        QByteArray(kQuestion) + "daan: A\ntimian_stored: 00\ncolour: red\n[kjks_foo 1]\nzhang: x\n";
    WriteSourceFiles(dir.path(), files);
    try {
        ReadBankSource(dir.path());
        FAIL();
    } catch (const BankSourceError &e) {
        EXPECT_EQ(e.problems().size(), 3) << e.problems().join(QLatin1Char('\n')).toStdString();
    }
}

// A row's rules are met at different times when the source is read in file order (its case comes
// later, the chapter tree is known only at the end); several problems at one line still come in the
// order of the rules, as when the whole source was checked at once.
TEST(SourceReader, ProblemsAtOneLineKeepTheRulesOrder) {
    QTemporaryDir dir;
    SourceFiles files = FullSource();
    files[QStringLiteral("questions/c1.txt")] = R"([kjks_tigan 201]
timian: 无题型、无答案、无章节

[kjks_tigan 202]
tixing: 不定项选择题
zongtimian: 300
option: 甲
option: 乙
daan: A
)";
    files[QStringLiteral("questions/z9.txt")] = R"([zongtigan 300]
zongtimian: 案例在小题之后，没有章节
daan: B

[zongtigan 301]
zongtimian: 没有小题
)";
    WriteSourceFiles(dir.path(), files);
    const QString a = QDir(dir.path()).filePath(QStringLiteral("questions/c1.txt"));
    const QString z = QDir(dir.path()).filePath(QStringLiteral("questions/z9.txt"));
    try {
        BuildBank(dir.path(), QDir(dir.path()).filePath(QStringLiteral("kjks.dbf")), nullptr, true);
        FAIL();
    } catch (const BankSourceError &e) {
        const QStringList expected = {
            a + QStringLiteral(":1: 缺少题型 tixing"),
            a + QStringLiteral(":1: 缺少答案 daan"),
            a + QStringLiteral(":1: 第 0 章第 0 节（010000）不在章节目录中"),
            z + QStringLiteral(":1: 第 0 章第 0 节（010000）不在章节目录中"),
            z + QStringLiteral(":3: 案例答案是“B”，各小题的答案合起来是“A”"),
            z + QStringLiteral(":5: 案例没有小题"),
            z + QStringLiteral(":5: 第 0 章第 0 节（010000）不在章节目录中"),
        };
        const QStringList got = e.problems();
        ASSERT_EQ(got.size(), expected.size()) << got.join(QLatin1Char('\n')).toStdString();
        for (int i = 0; i < got.size(); ++i)
            EXPECT_TRUE(got[i].startsWith(expected[i])) << i << ": " << got[i].toStdString();
    }
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(QStringLiteral("kjks.dbf"))));
}

TEST(SourceReader, NeedsTheFolderAndBankTxt) {
    QTemporaryDir dir;
    EXPECT_THROW(ReadBankSource(QDir(dir.path()).filePath(QStringLiteral("none"))), BankSourceError);
    try {
        ReadBankSource(dir.path());
        FAIL();
    } catch (const BankSourceError &e) {
        EXPECT_TRUE(e.problems().value(0).contains(QStringLiteral("bank.txt: 缺少这个文件")));
    }
}

// The command itself: a failed build keeps the bank that was there and exits non-zero.
TEST(BankCommand, FailedBuildKeepsTheOldBank) {
    QTemporaryDir dir;
    const QString good = QDir(dir.path()).filePath(QStringLiteral("good"));
    const QString bad = QDir(dir.path()).filePath(QStringLiteral("bad"));
    WriteSourceFiles(good, FullSource());
    SourceFiles badFiles = FullSource();
    badFiles[QStringLiteral("questions/q.txt")] = QByteArray(kQuestion) + "daan: E\ncolour: red\n";
    WriteSourceFiles(bad, badFiles);
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
    EXPECT_TRUE(err.contains(bad + QStringLiteral("/questions/q.txt:11: kjks_tigan 没有“colour”这一列")))
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
    EXPECT_TRUE(warnings.contains(QStringLiteral("警告：设置 EXAM_SCORING：“half”"))) << warnings.toStdString();
    EXPECT_FALSE(warnings.contains(QStringLiteral("EXAM_MINUTES")));
    QFile::remove(warnedBank);
    QDir(warnedDir).removeRecursively();

    p.start(QStringLiteral(KJKS_BANK_EXE), {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString help = QString::fromUtf8(p.readAllStandardOutput());
    for (const char *command :
         {"build [--strict] SOURCE_DIR BANK", "export BANK OUT_DIR", "synth --questions N", "check [--strict] BANK"})
        EXPECT_TRUE(help.contains(QString::fromLatin1(command))) << command;

    p.start(QStringLiteral(KJKS_BANK_EXE), {QStringLiteral("frobnicate")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 2);
}

} // namespace
