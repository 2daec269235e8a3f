// Synthetic banks and `check` on built banks.

#include "BankCheck.h"
#include "BankReader.h"
#include "BankRules.h"
#include "BankSession.h"
#include "BankSynth.h"
#include "BankTestSupport.h"
#include "BankWriter.h"
#include "FixtureBank.h"
#include "ProgressCounts.h"
#include "SqlDatabase.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <set>

namespace {

TEST(SyntheticBank, HasEveryKindAndPassesTheCheck) {
    const BankModel m = SyntheticBank(400, 3);
    ASSERT_EQ(m.questions.size(), 400u);
    std::map<QString, int> kinds;
    std::set<std::pair<int, int>> sections;
    for (const BankQuestion &q : m.questions) {
        ++kinds[q.tixing];
        sections.insert({q.zhang, q.jie});
    }
    for (const QString &t : {banktypes::single(), banktypes::multiple(), banktypes::judgement(), banktypes::operation(),
                             banktypes::caseQuestion()})
        EXPECT_GT(kinds[t], 0) << t.toStdString();
    EXPECT_EQ(kinds[banktypes::caseQuestion()], int(m.stems.size()) * 5);
    EXPECT_GE(sections.size(), 30u);
    ASSERT_EQ(m.profiles.size(), 1u);
    EXPECT_EQ(m.profiles[0].columns.at(QStringLiteral("danxuanti")), QStringLiteral("24"));
    EXPECT_EQ(m.profiles[0].columns.at(QStringLiteral("shicaoti")), QStringLiteral("15"));

    QTemporaryDir dir;
    const QString bank = QDir(dir.path()).filePath(QStringLiteral("s.dbf"));
    WriteBank(m, bank);
    EXPECT_EQ(CheckBank(bank), QStringList());
    // Written with the chapter tree's counts, so the program's first opening has nothing to make.
    SqlDatabase db;
    db.open(bank, QString::fromLatin1(kBankPassword));
    EXPECT_TRUE(ProgressCountsKept(db));
    EXPECT_EQ(ProgressCountsDrift(db), QString());
}

TEST(SyntheticBank, SmallBanksStayDrawable) {
    for (int n : {0, 1, 9, 14, 41}) {
        const BankModel m = SyntheticBank(n, 1);
        EXPECT_EQ(int(m.questions.size()), n);
        // A section the bank is too small for is left off the paper; only a bank that can draw
        // nothing at all is refused.
        for (const QString &problem : CheckExamProfile(m))
            EXPECT_TRUE(problem.contains(QStringLiteral("四个部分的题数都是 0"))) << n << problem.toStdString();
        EXPECT_EQ(ValidateBankModel(m).size(), 0u) << n;
    }
}

TEST(SyntheticBank, SectionsOfNoQuestionsAndNoPointsPassTheCheck) {
    // A paper of single and multiple choice only: no judgement, no cases.
    BankModel m = SyntheticBank(200, 11);
    for (const char *column : {"panduanti", "panduanfen", "shicaoti", "shicaofen"})
        m.profiles[0].columns[QString::fromLatin1(column)] = QStringLiteral("0");
    QTemporaryDir dir;
    const QString bank = QDir(dir.path()).filePath(QStringLiteral("two.dbf"));
    WriteBank(m, bank);
    EXPECT_EQ(CheckBank(bank), QStringList());
}

TEST(SyntheticBank, SameSeedSameBank) {
    QTemporaryDir dir;
    const QString a = QDir(dir.path()).filePath(QStringLiteral("a.dbf"));
    const QString b = QDir(dir.path()).filePath(QStringLiteral("b.dbf"));
    const QString c = QDir(dir.path()).filePath(QStringLiteral("c.dbf"));
    WriteBank(SyntheticBank(120, 42), a);
    WriteBank(SyntheticBank(120, 42), b);
    WriteBank(SyntheticBank(120, 43), c);
    EXPECT_EQ(FirstDifference(ReadAllTables(a), ReadAllTables(b)), QString());
    EXPECT_NE(FirstDifference(ReadAllTables(a), ReadAllTables(c)), QString());
}

struct BadBank {
    const char *name;
    std::function<void(BankModel &)> spoil;         // before writing
    std::function<void(SqlDatabase &)> spoilStored; // after writing, on the stored rows
    const char *expected;
};

const BadBank kBadBanks[] = {
    {"answer beyond options", [](BankModel &m) { m.questions[0].daan = QStringLiteral("F"); }, nullptr,
     "警告：题目 1 的答案：答案字母 F 超出了 4 个选项"},
    {"case answer", [](BankModel &m) { m.stems[0].daan = QStringLiteral("A"); }, nullptr,
     "警告：案例 1 的答案：案例答案是“A”"},
    {"sub-question of no case", [](BankModel &m) { m.questions[4].zongtimian = QStringLiteral("999"); }, nullptr,
     "警告：题目 5 的所属案例：没有案例 999"},
    {"unreadable picture", [](BankModel &m) { m.questions[0].tmimage = QByteArray("\xFF\xD8 not really"); }, nullptr,
     "警告：题目 1 的图片：图片无法读取"},
    {"section missing", [](BankModel &m) { m.questions[0].jie = 50; }, nullptr,
     "警告：题目 1 的章节：第 1 章第 50 节（010150）不在章节目录中"},
    {"too few singles",
     [](BankModel &m) { m.profiles[0].columns[QStringLiteral("danxuanti")] = QStringLiteral("500"); }, nullptr,
     "考试方案 1 的 danxuanti：一份试卷抽 500 道单选题，题库只有"},
    {"too few cases", [](BankModel &m) { m.profiles[0].columns[QStringLiteral("shicaoti")] = QStringLiteral("100"); },
     nullptr, "考试方案 1 的 shicaoti：一份试卷抽 20 个案例"},
    {"cases do not divide",
     [](BankModel &m) { m.profiles[0].columns[QStringLiteral("shicaoti")] = QStringLiteral("12"); }, nullptr,
     "12 不是每个案例 5 道小题的整数倍"},
    {"points for a section of no questions",
     [](BankModel &m) { m.profiles[0].columns[QStringLiteral("duoxuanti")] = QStringLiteral("0"); }, nullptr,
     "考试方案 1 的 duoxuanfen：duoxuanfen 是“24”：duoxuanti 是 0，这一部分没有题，分数也要是 0"},
    {"questions worth nothing",
     [](BankModel &m) { m.profiles[0].columns[QStringLiteral("panduanfen")] = QStringLiteral("0"); }, nullptr,
     "考试方案 1 的 panduanfen：panduanfen 是“0”：这一部分有 10 道题却不得分"},
    {"every section of no questions",
     [](BankModel &m) {
         for (const char *column : {"danxuanti", "danxuanfen", "duoxuanti", "duoxuanfen", "panduanti", "panduanfen",
                                    "shicaoti", "shicaofen"})
             m.profiles[0].columns[QString::fromLatin1(column)] = QStringLiteral("0");
     },
     nullptr, "考试方案 1：四个部分的题数都是 0"},
    {"wrong type name", [](BankModel &m) { m.profiles[0].columns[QStringLiteral("duoxuan")] = QStringLiteral("多项"); },
     nullptr, "考试方案 1 的 duoxuan：题型名是“多项”"},
    {"case with a withdrawn sub-question", [](BankModel &m) { m.questions[5].flag_state = 1; }, nullptr,
     "警告：案例 1：试卷中每个案例出 5 道小题，这个案例只有 4 道"},
    {"answer time that is no date",
     [](BankModel &m) {
         m.papers.push_back({11, QStringLiteral("昨天上午"), QString(), {}, 0});
     },
     nullptr, "警告：模拟试卷 11 的开考时间：“昨天上午”不是日期时间"},
    {"damaged page", nullptr,
     [](SqlDatabase &db) {
         // A page in the middle of the file: the rows there are read only when a learner reaches them.
         QFile file(db.path());
         ASSERT_TRUE(file.open(QIODevice::ReadWrite));
         const qint64 at = (file.size() / 1024 / 2) * 1024 + 500;
         file.seek(at);
         char byte = 0;
         file.getChar(&byte);
         file.seek(at);
         file.putChar(char(~byte));
     },
     "题库文件已损坏："},
    {"no scratch row", [](BankModel &m) { m.addScratchRow = false; }, nullptr, "答题记录：缺少练习用的答题行"},
    {"no profile", [](BankModel &m) { m.profiles.clear(); }, nullptr, "考试方案 1：缺少考试方案 [kjks_type 1]"},
    {"exam minutes that are no minutes",
     [](BankModel &m) { m.options[QStringLiteral("EXAM_MINUTES")] = QStringLiteral("1小时45分"); }, nullptr,
     "警告：设置 EXAM_MINUTES：“1小时45分”不是 1 到 600 的整数分钟数"},
    {"unknown scoring rule",
     [](BankModel &m) { m.options[QStringLiteral("EXAM_SCORING")] = QStringLiteral("Partial"); }, nullptr,
     "警告：设置 EXAM_SCORING：“Partial”既不是 all_or_nothing 也不是 partial"},
    {"text that is no hex", nullptr,
     [](SqlDatabase &db) {
         db.exec(QStringLiteral("update kjks_tigan set timian = 'plain words' where tigan_id = 2"));
     },
     "题目 2 的题干：存储的文本含有“p”"},
    {"cipher cut short", nullptr,
     [](SqlDatabase &db) {
         db.exec(
             QStringLiteral("update kjks_tigan set jiexi = substr(jiexi, 1, length(jiexi) - 8) where tigan_id = 3"));
     },
     "题目 3 的解析：Invalid buffer size for decryption"},
    {"length field that lies", nullptr,
     [](SqlDatabase &db) {
         db.exec(QStringLiteral("update kjks_xuanxiang set timian = '0300000000000000' || substr(timian, 17)"
                                " where xuanxiang_id = 1"));
     },
     "题目 1 的选项 A：长度字段是 3 字节"},
};

class CheckFindsProblem : public ::testing::TestWithParam<BadBank> {};

TEST_P(CheckFindsProblem, AndReportsItsRow) {
    const BadBank &bad = GetParam();
    BankModel m = SyntheticBank(200, 11);
    // Stems 1..3 each come with five sub-questions (ids 5..9 for the first); every question but the
    // case rows is in the random pool.
    if (bad.spoil) bad.spoil(m);
    QTemporaryDir dir;
    const QString bank = QDir(dir.path()).filePath(QStringLiteral("bad.dbf"));
    WriteBank(m, bank);
    if (bad.spoilStored) {
        SqlDatabase db;
        db.open(bank, QString::fromLatin1(kBankPassword));
        bad.spoilStored(db);
    }
    const QStringList problems = CheckBank(bank);
    bool found = false;
    for (const QString &p : problems)
        found = found || p.contains(QString::fromUtf8(bad.expected));
    EXPECT_TRUE(found) << bad.name << ": expected " << bad.expected << "\ngot:\n"
                       << problems.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, CheckFindsProblem, ::testing::ValuesIn(kBadBanks),
                         [](const ::testing::TestParamInfo<BadBank> &info) {
                             std::string n = info.param.name;
                             for (char &c : n)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

// The options are read with their questions; their unreadable texts are still listed in the options'
// own order, after the questions' texts.
TEST(Check, ListsUnreadableTextsInStoredOrder) {
    QTemporaryDir dir;
    const QString bank = QDir(dir.path()).filePath(QStringLiteral("b.dbf"));
    WriteBank(SyntheticBank(40, 2), bank);
    {
        SqlDatabase db;
        db.open(bank, QString::fromLatin1(kBankPassword));
        // Option 1 moves to question 2 (its first option), option 5 to question 1 (its last); both lie.
        db.exec(QStringLiteral("update kjks_xuanxiang set timian = '0300000000000000' || substr(timian, 17),"
                               " tigan_ID = case xuanxiang_id when 1 then 2 else 1 end where xuanxiang_id in (1, 5)"));
        db.exec(QStringLiteral("update kjks_tigan set jiexi = 'xx' where tigan_id = 3"));
    }
    const QStringList problems = CheckBank(bank);
    ASSERT_GE(problems.size(), 3) << problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(problems[0].startsWith(QStringLiteral("题目 3 的解析："))) << problems[0].toStdString();
    EXPECT_TRUE(problems[1].startsWith(QStringLiteral("题目 2 的选项 A：长度字段是 3 字节")))
        << problems[1].toStdString();
    EXPECT_TRUE(problems[2].startsWith(QStringLiteral("题目 1 的选项 D：长度字段是 3 字节")))
        << problems[2].toStdString();
}

TEST(Check, ReportsAnUnopenableBank) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("none.dbf"));
    const QStringList problems = CheckBank(path);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(QStringLiteral("无法打开题库")));
}

} // namespace
