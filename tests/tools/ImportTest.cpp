// Teachers' files into the bank: CSV rows, GIFT and Aiken questions as tables of expected questions
// or refusals, workbooks made by spreadsheet writers, the template, the CSV round trip, and the
// commands' all-or-nothing writes.

#include "AikenImport.h"
#include "BankReader.h"
#include "BankSource.h"
#include "BankSynth.h"
#include "BankTestSupport.h"
#include "BankWriter.h"
#include "CsvExport.h"
#include "CsvImport.h"
#include "Gbk.h"
#include "GiftImport.h"
#include "XlsxImport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

const char kHeader[] = "题型,章节,题干,A,B,C,D,答案,解析\n";

// A question as one line: "LINE KIND 章/节 text [options] answer | explanation".
QString describe(const ImportedQuestion &q) {
    static const char *const kinds[] = {"单选", "多选", "判断", "实操", "案例", "小题"};
    return QStringLiteral("%1 %2 %3/%4 %5 [%6] %7 | %8")
        .arg(q.line)
        .arg(QString::fromUtf8(kinds[int(q.kind)]), q.chapter, q.section, q.text, q.options.join(QLatin1Char(',')),
             q.answer, q.explanation);
}

QString describeAll(const std::vector<ImportedQuestion> &qs) {
    QStringList lines;
    for (const ImportedQuestion &q : qs)
        lines << describe(q);
    return lines.join(QLatin1Char('\n'));
}

// Reads and assembles; the problems of both steps, one per line.
QString refusals(const std::vector<ImportedQuestion> &read, ImportProblems problems) {
    QStringList warnings;
    if (problems.isEmpty()) AssembleImport(read, &problems, &warnings);
    return problems.lines().join(QLatin1Char('\n'));
}

// Each expected line starts the refusal in the same place.
bool startsEach(const QString &got, const char *expected) {
    const QStringList want = QString::fromUtf8(expected).split(QLatin1Char('\n'));
    const QStringList have = got.split(QLatin1Char('\n'));
    if (have.size() < want.size()) return false;
    for (int i = 0; i < want.size(); ++i)
        if (!have[i].startsWith(want[i])) return false;
    return true;
}

struct Case {
    const char *name;
    QByteArray input;
    const char *expected; // the questions read, or a part of the first refusal
};

// ---- CSV rows -> questions ----

const Case kCsvRead[] = {
    {"plain row", QByteArray(kHeader) + "单选题,第一章/第一节,题目,甲,乙,,,A,因为\n",
     "2 单选 第一章/第一节 题目 [甲,乙] A | 因为"},
    {"quoted comma, doubled quote, line break in a cell; the next row's line counts it",
     QByteArray(kHeader) + "多选,\"第一章/第一节\",\"甲,乙说\"\"是\"\"\n第二行\",a,b,c,,\"A, C\",\n"
                           "判断题,第一章,对吗,,,,,对,\n",
     "2 多选 第一章/第一节 甲,乙说\"是\"\n第二行 [a,b,c] A, C | \n4 判断 第一章/第一章 对吗 [] 对 | "},
    {"BOM and CRLF, columns in any order, unknown columns ignored",
     "\xEF\xBB\xBF答案,备注,题干,B,A,章节,题型\r\nB,x,问,乙,甲,章/节,单选题\r\n\r\n", "2 单选 章/节 问 [甲,乙] B | "},
    {"GBK file", UnicodeToGbk(QString::fromUtf8(kHeader) + QStringLiteral("判断题,章/节,会计主体,,,,,√,\r\n")),
     "2 判断 章/节 会计主体 [] √ | "},
    {"case and its sub-questions by label",
     "题型,章节,案例,题干,A,B,答案\n案例,章/节,K1,材料,,,\n不定项,,K1,（1）,甲,乙,B\n",
     "2 案例 章/节 材料 []  | \n3 小题 / （1） [甲,乙] B | "},
};

TEST(CsvImport, RowsBecomeQuestions) {
    for (const Case &c : kCsvRead) {
        ImportProblems problems;
        const auto read = ReadCsvQuestions(QStringLiteral("t.csv"), c.input, &problems);
        EXPECT_EQ(problems.lines(), QStringList()) << c.name;
        EXPECT_EQ(describeAll(read), QString::fromUtf8(c.expected)) << c.name;
    }
}

// ---- CSV rows -> refusals (read and assembled) ----

const Case kCsvRefused[] = {
    {"missing header column", "题型,题干,答案\n单选题,题,A\n", "t.csv:1: 表头缺少“章节”列"},
    {"bad type", QByteArray(kHeader) + "填空题,章/节,题,甲,乙,,,A,\n", "t.csv:2: 题型“填空题”不认识"},
    {"answer beyond the options", QByteArray(kHeader) + "单选题,章/节,题,甲,乙,,,\n单选题,章/节,题,甲,乙,,,C,\n",
     "t.csv:2: 缺少答案\nt.csv:3: 答案 C 超出了选项：这道题只有 2 个选项"},
    {"two answers for a single choice", QByteArray(kHeader) + "单选题,章/节,题,甲,乙,,,AB,\n",
     "t.csv:2: 单选题只有一个答案"},
    {"one answer for a multiple choice", QByteArray(kHeader) + "多选题,章/节,题,甲,乙,,,B,\n",
     "t.csv:2: 多选题至少有两个正确答案"},
    {"true/false answer", QByteArray(kHeader) + "判断题,章/节,题,,,,,也许,\n", "t.csv:2: 判断题的答案写 √ 或 ×"},
    {"gap in the options", QByteArray(kHeader) + "单选题,章/节,题,甲,,丙,,A,\n", "t.csv:2: 选项 B 为空"},
    {"missing chapter", QByteArray(kHeader) + "单选题,,题,甲,乙,,,A,\n", "t.csv:2: 缺少章节"},
    {"quote never closed", QByteArray(kHeader) + "单选题,章/节,\"题\n\n", "t.csv:2: 引号没有闭合"},
    {"sub-question of no case", "题型,章节,案例,题干,A,B,答案\n不定项,,K9,题,甲,乙,A\n", "t.csv:2: 没有案例“K9”"},
    {"case without sub-questions", "题型,章节,案例,题干,A,B,答案\n案例,章/节,K1,材料,,,\n", "t.csv:2: 案例没有小题"},
    {"duplicate id", "编号,题型,章节,题干,答案\n7,判断题,章/节,题,√\n7,判断题,章/节,题,×\n",
     "t.csv:3: 编号 7 已用于 t.csv:2"},
    {"text GBK cannot hold", QByteArray(kHeader) + "判断题,章/节,好 \xF0\x9F\x98\x80,,,,,√,\n", "t.csv:2: "},
    {"nothing a mock paper can draw", "题型,章节,案例,题干,A,B,答案\n案例,章/节,K1,材料,,,\n不定项,,K1,（1）,甲,乙,B\n",
     "没有能出模拟试卷的题"},
};

TEST(CsvImport, RefusedRowsAreNamedByLine) {
    for (const Case &c : kCsvRefused) {
        ImportProblems problems;
        const auto read = ReadCsvQuestions(QStringLiteral("t.csv"), c.input, &problems);
        const QString got = refusals(read, problems);
        EXPECT_TRUE(startsEach(got, c.expected)) << c.name << "\n" << got.toStdString();
    }
}

TEST(CsvImport, AnswersAreNormalisedToTheBankForm) {
    struct Row {
        ImportKind kind;
        const char *written;
        const char *stored;
    };
    const Row rows[] = {{ImportKind::Multiple, "d b，a", "ABD"},
                        {ImportKind::Multiple, "ＡＣ", "AC"},
                        {ImportKind::Single, " c ", "C"},
                        {ImportKind::Judgement, "错误", "×"},
                        {ImportKind::Judgement, "true", "√"},
                        {ImportKind::Judgement, "0", "0"},
                        {ImportKind::Operation, "借：银行存款", "借：银行存款"}};
    for (const Row &r : rows) {
        QString error;
        EXPECT_EQ(NormaliseAnswer(r.kind, QString::fromUtf8(r.written), 4, &error), QString::fromUtf8(r.stored))
            << r.written;
        EXPECT_EQ(error, QString()) << r.written;
    }
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

const QString kTemplate = QStringLiteral(KJKS_SOURCE_DIR "/docs/import-template.csv");

TEST(CsvImport, TheTemplateMakesARunnableBank) {
    ImportProblems problems;
    QStringList warnings;
    const BankModel m =
        AssembleImport(ReadCsvQuestions(kTemplate, readFile(kTemplate), &problems), &problems, &warnings);
    ASSERT_EQ(problems.lines(), QStringList());
    EXPECT_EQ(warnings, QStringList());
    ASSERT_EQ(m.stems.size(), 1u);
    EXPECT_EQ(m.stems[0].daan, QStringLiteral("AEFINQRST")); // A, AB, A, B, ABCD over four options each
    EXPECT_EQ(m.questions.size(), 8u);
    for (const BankQuestion &q : m.questions)
        if (!q.zongtimian.isEmpty()) {
            EXPECT_EQ(std::make_pair(q.zhang, q.jie), std::make_pair(2, 1));
        }
    const auto &profile = m.profiles.at(0).columns;
    EXPECT_EQ(profile.at(QStringLiteral("danxuanti")), QStringLiteral("1"));
    EXPECT_EQ(profile.at(QStringLiteral("shicaoti")), QStringLiteral("5"));
    EXPECT_EQ(profile.at(QStringLiteral("shicaofen")), QStringLiteral("10"));
}

TEST(CsvImport, TheProfileHoldsTheSectionsTheQuestionsFillAndTheirShareOfTheTime) {
    const struct {
        const char *name;
        QByteArray rows;
        const char *profile; // count/points of single, multiple, judgement, cases
        const char *minutes;
    } cases[] = {
        {"single choice only", "单选题,章/节,一,甲,乙,,,A,\n单选题,章/节,二,甲,乙,,,B,\n单选题,章/节,三,甲,乙,,,A,\n",
         "3/6 0/0 0/0 0/0", "7"},
        {"no cases", "单选题,章/节,一,甲,乙,,,A,\n多选题,章/节,二,甲,乙,丙,,AB,\n判断题,章/节,三,,,,,√,\n",
         "1/2 1/2 1/1 0/0", "6"},
    };
    for (const auto &c : cases) {
        ImportProblems problems;
        QStringList warnings;
        const BankModel m = AssembleImport(
            ReadCsvQuestions(QStringLiteral("t.csv"), QByteArray(kHeader) + c.rows, &problems), &problems, &warnings);
        // The bank's own profile check ran on it too.
        ASSERT_EQ(problems.lines(), QStringList()) << c.name;
        const auto &p = m.profiles.at(0).columns;
        QStringList shape;
        for (const char *section : {"danxuan", "duoxuan", "panduan", "shicao"}) {
            const QString name = QString::fromLatin1(section);
            shape << p.at(name + QStringLiteral("ti")) + QLatin1Char('/') + p.at(name + QStringLiteral("fen"));
        }
        EXPECT_EQ(shape.join(QLatin1Char(' ')), QString::fromUtf8(c.profile)) << c.name;
        EXPECT_EQ(m.options.at(QStringLiteral("EXAM_MINUTES")), QString::fromUtf8(c.minutes)) << c.name;
    }
}

TEST(CsvImport, ShortCaseIsKeptForPracticeOnly) {
    ImportProblems problems;
    QStringList warnings;
    const QByteArray extra = ",案例,第三章/第一节,9,短案例,,,,,,,,\r\n,不定项选择题,,9,（1）,甲,乙,,,,,A,\r\n";
    const BankModel m = AssembleImport(
        ReadCsvQuestions(QStringLiteral("t.csv"), readFile(kTemplate) + extra, &problems), &problems, &warnings);
    ASSERT_EQ(problems.lines(), QStringList());
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("t.csv:13: 案例只有 1 道小题"))) << warnings[0].toStdString();
    ASSERT_EQ(m.stems.size(), 2u);
    EXPECT_EQ(m.stems[1].shijuan, QString());
}

// ---- GIFT questions -> questions ----

const Case kGiftRead[] = {
    {"single choice with title, feedback and general feedback",
     "$CATEGORY: $course$/top/第一章 会计概述/第一节 职能\n\n::q1:: 会计的基本职能是 {=核算与监督#对 ~预测与决策 "
     "~评价####两大基本职能}\n",
     "3 单选 第一章 会计概述/第一节 职能 会计的基本职能是 [核算与监督,预测与决策,评价] A | 两大基本职能\n对"},
    {"multiple choice by weights; comments and a one-part category",
     "// 注释\n$CATEGORY: 第二章\n下列属于资产的有 {\n~%50%银行存款\n~%-100%短期借款\n~%50%库存商品\n}\n",
     "3 多选 第二章/第二章 下列属于资产的有 [银行存款,短期借款,库存商品] AC | "},
    {"true/false in every spelling, feedback as explanation",
     "$CATEGORY: 章/节\n甲 {T}\n\n乙 {FALSE#错了#对了}\n\n丙{TRUE}\n\n丁 {f}\n",
     "2 判断 章/节 甲 [] √ | \n4 判断 章/节 乙 [] × | 错了\n对了\n6 判断 章/节 丙 [] √ | \n8 判断 章/节 丁 [] × | "},
    {"escapes and a missing word", "$CATEGORY: 章/节\n比例 1\\:2 与 \\{x\\} \\= \\~ \\# {=甲\\=乙 ~丙} 成立\n",
     "2 单选 章/节 比例 1:2 与 {x} = ~ #（　）成立 [甲=乙,丙] A | "},
    // Moodle reads any question with one = as single choice with that answer right.
    {"the documentation's hometown example (its shape, our words), without a category",
     "::家乡::张三的家乡在 {\n~北京#重要的城市，但不对。\n~%25%天津#出生在这里，但不是在这里长大。\n"
     "~%50%河北#要更具体。\n=保定#对！\n}\n",
     "1 单选 导入题目/导入题目 张三的家乡在 [北京,天津,河北,保定] D | 对！"},
    {"weighted wrong answers beside one =; a category of Moodle's top only",
     "$CATEGORY: $course$/top\n题 {~错 ~%50%半对 =全对}\n\n$CATEGORY: 章/节\n满分 {~%100%甲 ~乙}\n",
     "2 单选 导入题目/导入题目 题 [错,半对,全对] C | \n5 单选 章/节 满分 [甲,乙] A | "},
    {"thirds add up to 100%", "题 {~%33.33333%甲 ~%33.33333%乙 ~%-100%丙 ~%33.33333%丁}\n",
     "1 多选 导入题目/导入题目 题 [甲,乙,丙,丁] ABD | "},
    {"Moodle's html export: tags, line breaks and entities in stem, options and feedback",
     "::q::[html]<p>下列各项中，<b>属于</b>资产的是&nbsp;&#65288;&#x3000;&#65289;</p><p>第二段<br/>续</p>{\n"
     "\t~[html]<p>甲 &amp; 乙</p>\n\t=库存&lt;商品&gt;#<i>对</i>\n####<p>资产&hellip;</p>\n}\n",
     "1 单选 导入题目/导入题目 下列各项中，属于资产的是 （　）\n第二段\n续 [甲 & 乙,库存<商品>] B | 资产…\n对"},
    {"markdown emphasis and moodle line breaks; blanks and snake_case stay",
     "[markdown]**会计**主体是 __重要__ 的 ____ 与 a_b {=*甲* ~_乙_}\n\n[moodle]第一行<br>第二行 {T}\n",
     "1 单选 导入题目/导入题目 会计主体是 重要 的 ____ 与 a_b [甲,乙] A | \n3 判断 导入题目/导入题目 第一行\n第二行 [] "
     "√ | "},
    {"a plain text keeps its tags", "[plain]1<2 与 <b> {T}\n", "1 判断 导入题目/导入题目 1<2 与 <b> [] √ | "},
};

TEST(GiftImport, QuestionsOfTheSubset) {
    for (const Case &c : kGiftRead) {
        ImportProblems problems;
        const auto read = ReadGiftQuestions(QStringLiteral("t.gift"), c.input, QStringLiteral("导入题目"), &problems);
        EXPECT_EQ(problems.lines(), QStringList()) << c.name;
        EXPECT_EQ(describeAll(read), QString::fromUtf8(c.expected)) << c.name;
    }
}

const Case kGiftRefused[] = {
    {"a picture", "[html]<p><img src=\"@@PLUGINFILE@@/a.png\"></p>题 {=甲 ~乙}\n\n选 {=甲 ~<IMG src\\=x>}\n",
     "t.gift:1: 含有图片\nt.gift:3: 含有图片"},
    {"two = answers", "题 {=甲 =乙 ~丙}\n", "t.gift:1: 有 2 个 = 选项"},
    {"right weights short of 100%", "题 {~%50%甲 ~%-50%乙}\n", "t.gift:1: 正确选项的分值加起来是 50%，应为 100%"},
    {"weight beyond 100%", "题 {~%150%甲 ~乙}\n", "t.gift:1: 选项的分值"},
    {"short answer", "$CATEGORY: 章/节\n\n首都 {=北京 =北平}\n", "t.gift:3: 只有 = 没有 ~ 的是填空题"},
    {"matching", "$CATEGORY: 章/节\n配对 {=a -> 1 =b -> 2 ~c}\n", "t.gift:2: 匹配题"},
    {"numerical", "$CATEGORY: 章/节\n数 {#3.14:0.01}\n", "t.gift:2: 数值题"},
    {"essay", "$CATEGORY: 章/节\n论述 {}\n", "t.gift:2: 空的答案部分"},
    {"no right answer", "$CATEGORY: 章/节\n题 {~甲 ~乙}\n", "t.gift:2: 没有正确答案"},
    {"brace never closed", "$CATEGORY: 章/节\n题 {=甲 ~乙\n", "t.gift:2: 答案部分的 { 没有对应的 }"},
    {"bad weight", "$CATEGORY: 章/节\n题 {~%abc%甲 ~乙}\n", "t.gift:2: 选项的分值"},
    {"second mistake still reported", "$CATEGORY: 章/节\n好 {T}\n\n坏 {~甲 ~乙}\n\n也坏 {}\n",
     "t.gift:4: 没有正确答案\nt.gift:6: 空的答案部分"},
};

TEST(GiftImport, RefusedQuestionsAreNamedByLine) {
    for (const Case &c : kGiftRefused) {
        ImportProblems problems;
        const auto read = ReadGiftQuestions(QStringLiteral("t.gift"), c.input, QStringLiteral("导入题目"), &problems);
        const QString got = problems.lines().join(QLatin1Char('\n'));
        EXPECT_TRUE(startsEach(got, c.expected)) << c.name << "\n" << got.toStdString();
    }
}

// ---- Aiken questions -> questions or refusals ----

const Case kAikenRead[] = {
    {"the two documented option forms",
     "下列属于流动资产的是\nA. 固定资产\nB. 应收账款\nANSWER: B\n\n哪一个\nA) 甲\nB) 乙\nC) 丙\nANSWER: C\n",
     "1 单选 第九章/第一节 下列属于流动资产的是 [固定资产,应收账款] B | \n6 单选 第九章/第一节 哪一个 [甲,乙,丙] C | "},
    {"full-width marks, a stem of two lines, several letters, no blank line between, CRLF and BOM",
     "\xEF\xBB\xBF题干\r\n续行\r\nA．甲\r\nB、乙\r\nC）丙\r\nANSWER：a c\r\n下一题\r\nA. 甲\r\nB. 乙\r\nANSWER: A\r\n",
     "1 多选 第九章/第一节 题干\n续行 [甲,乙,丙] a c | \n7 单选 第九章/第一节 下一题 [甲,乙] A | "},
    {"GBK", UnicodeToGbk(QStringLiteral("题\nA. 甲\nB. 乙\nANSWER: B\n")), "1 单选 第九章/第一节 题 [甲,乙] B | "},
};

TEST(AikenImport, QuestionsOfTheFormat) {
    for (const Case &c : kAikenRead) {
        ImportProblems problems;
        const auto read =
            ReadAikenQuestions(QStringLiteral("t.aiken"), c.input, QStringLiteral("第九章/第一节"), &problems);
        EXPECT_EQ(problems.lines(), QStringList()) << c.name;
        EXPECT_EQ(describeAll(read), QString::fromUtf8(c.expected)) << c.name;
    }
}

const Case kAikenRefused[] = {
    {"options without an answer line, then a sound question still read",
     "题\nA. 甲\nB. 乙\n\n好题\nA. 甲\nB. 乙\nANSWER: A\n\n末题\nA. 甲\n",
     "t.aiken:1: 选项后面没有 ANSWER: 行\nt.aiken:10: 选项后面没有 ANSWER: 行"},
    {"a stray line after the options", "题\nA. 甲\nB. 乙\n丙\nANSWER: A\n",
     "t.aiken:4: 选项 B 之后应是选项 C 或 ANSWER: 行"},
    {"an answer line without a question", "ANSWER: A\n", "t.aiken:1: ANSWER: 行前面没有题干和选项"},
    {"an empty option", "题\nA. 甲\nB.\nANSWER: A\n", "t.aiken:3: 选项 B 为空"},
    {"a stem without options", "题\nANSWER: A\n", "t.aiken:1: 题干后面没有选项"},
    {"an answer beyond the options", "题\nA. 甲\nB. 乙\nANSWER: D\n", "t.aiken:1: 答案 D 超出了选项"},
    {"a letter out of order is no option", "题\nA. 甲\nC. 丙\nANSWER: A\n",
     "t.aiken:3: 选项 A 之后应是选项 B 或 ANSWER: 行"},
};

TEST(AikenImport, RefusedQuestionsAreNamedByLine) {
    for (const Case &c : kAikenRefused) {
        ImportProblems problems;
        const auto read = ReadAikenQuestions(QStringLiteral("t.aiken"), c.input, QStringLiteral("章"), &problems);
        const QString got = refusals(read, problems);
        EXPECT_TRUE(startsEach(got, c.expected)) << c.name << "\n" << got.toStdString();
    }
}

TEST(AikenImport, ATextFileIsAikenOnlyWithAnAnswerLineAndNoBraces) {
    EXPECT_TRUE(LooksLikeAiken("题\nA. 甲\nB. 乙\nANSWER: A\n"));
    EXPECT_FALSE(LooksLikeAiken("$CATEGORY: 章\n题 {=甲 ~乙}\n"));
    EXPECT_FALSE(LooksLikeAiken("Answer: {=甲 ~乙}\n")); // GIFT with a stem like an answer line
    EXPECT_FALSE(LooksLikeAiken("题\nA. 甲\n"));
}

// ---- export --csv -> import -> build -> export --csv ----

TEST(CsvRoundTrip, ExportImportBuildExportGivesTheSameFile) {
    QTemporaryDir dir;
    const QString first = QDir(dir.path()).filePath(QStringLiteral("first.dbf"));
    const QString second = QDir(dir.path()).filePath(QStringLiteral("second.dbf"));
    // A template's worth of every kind plus a synthetic bank: texts with commas, quotes, line breaks.
    BankModel m = SyntheticBank(300, 7);
    m.questions[0].timian = QStringLiteral("含,逗号与\"引号\"\n和换行");
    m.questions[1].jiexi = QStringLiteral(" 前后空格 ");
    WriteBank(m, first);
    QStringList notes;
    const QByteArray csv = BankToCsv(ReadBank(first), &notes);
    EXPECT_FALSE(notes.isEmpty()); // the synthetic bank's pictures are named

    ImportProblems problems;
    QStringList warnings;
    const BankModel imported =
        AssembleImport(ReadCsvQuestions(QStringLiteral("x.csv"), csv, &problems), &problems, &warnings);
    ASSERT_EQ(problems.lines(), QStringList()) << problems.lines().join(QLatin1Char('\n')).toStdString();
    WriteBank(imported, second);
    QStringList notesAgain;
    EXPECT_EQ(QString::fromUtf8(BankToCsv(ReadBank(second), &notesAgain)), QString::fromUtf8(csv));
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF编号,题型,章节,案例,题干,A,B,C,D,E,F,答案,解析\r\n"));
}

// ---- the command ----

ToolRun runTool(const QStringList &args) {
    return RunBankTool(QStringLiteral(KJKS_BANK_EXE), args, 60000);
}

TEST(ImportCommand, WritesASourceThatBuildsOrNothing) {
    QTemporaryDir dir;
    const QString source = QDir(dir.path()).filePath(QStringLiteral("src"));
    const QString gift = QDir(dir.path()).filePath(QStringLiteral("more.gift"));
    WriteSourceFiles(dir.path(), {{QStringLiteral("more.gift"), "$CATEGORY: 第九章/第一节\n新题 {=甲 ~乙}\n"}});

    // The template and a GIFT file together: a source folder that builds into the same questions.
    ToolRun r = runTool({QStringLiteral("import"), kTemplate, gift, source});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(ReadBankSource(source).questions.size(), 9u);

    // A refused row: nothing written, the row named, exit 1; an existing bank stays as it was.
    const QString bad = QDir(dir.path()).filePath(QStringLiteral("bad.csv"));
    WriteSourceFiles(dir.path(),
                     {{QStringLiteral("bad.csv"), readFile(kTemplate) + ",单选题,章/节,,题,甲,乙,,,,,E,\r\n"}});
    const QString bank = QDir(dir.path()).filePath(QStringLiteral("b.dbf"));
    r = runTool({QStringLiteral("import"), kTemplate, QStringLiteral("--new"), bank});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const BankTables before = ReadAllTables(bank);
    for (const QString &target : {QDir(dir.path()).filePath(QStringLiteral("src2")), bank}) {
        r = target == bank ? runTool({QStringLiteral("import"), bad, QStringLiteral("--bank"), bank})
                           : runTool({QStringLiteral("import"), bad, target});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(bad + QStringLiteral(":13: 答案 E 超出了选项"))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(QStringLiteral("src2"))));
    EXPECT_EQ(FirstDifference(before, ReadAllTables(bank)), QString());

    // A usage mistake: exit 2.
    EXPECT_EQ(runTool({QStringLiteral("import"), QStringLiteral("x.xls"), source}).code, 2);
    EXPECT_EQ(runTool({QStringLiteral("import"), kTemplate, gift}).code, 2); // the target forgotten
    EXPECT_EQ(runTool({QStringLiteral("import"), kTemplate}).code, 2);
}

// ---- Excel workbooks (made by spreadsheet writers: tests/tools/fixtures/make_workbooks.py) ----

const QString kFixtures = QStringLiteral(KJKS_SOURCE_DIR "/tests/tools/fixtures/");

TEST(XlsxImport, InlineAndSharedStringsGiveTheSameRows) {
    for (const char *name : {"inline.xlsx", "shared.xlsx"}) {
        ImportProblems problems;
        const std::vector<CsvRecord> rows =
            ReadXlsxRows(QString::fromLatin1(name), readFile(kFixtures + QLatin1String(name)), QString(), &problems);
        EXPECT_EQ(problems.lines(), QStringList()) << name;
        ASSERT_EQ(rows.size(), 2u) << name;
        EXPECT_EQ(rows[1].line, 2);
        // The hidden first sheet passed over; a rich-text run joined; a 0.00%-formatted 0.045 as typed.
        EXPECT_EQ(rows[1].fields.join(QLatin1Char('|')),
                  QStringLiteral("单选题|章/节|下列各项中，属于资产的是|4.5%|乙|A"))
            << name;
    }
}

TEST(XlsxImport, AWorkbookThroughTheCommand) {
    QTemporaryDir dir;
    const QString source = QDir(dir.path()).filePath(QStringLiteral("src"));
    const QString workbook = kFixtures + QStringLiteral("questions.xlsx");
    ToolRun r = runTool({QStringLiteral("import"), workbook, source});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const BankModel m = ReadBankSource(source);
    ASSERT_EQ(m.questions.size(), 8u);
    std::map<int, const BankQuestion *> byId;
    for (const BankQuestion &q : m.questions)
        byId[q.id] = &q;
    const auto options = [&](int id) {
        QStringList texts;
        for (const BankOption &o : byId.at(id)->options)
            texts << o.text;
        return texts.join(QLatin1Char('|'));
    };
    // Numbers as typed, percents by their format, dates; a cell's line break; the merged chapter cell.
    EXPECT_EQ(options(1), QStringLiteral("3%|13%|12.5%"));
    EXPECT_EQ(byId.at(1)->jiexi, QStringLiteral("第一行\n第二行"));
    EXPECT_EQ(options(2), QStringLiteral("2024|2025|2028|0.1"));
    EXPECT_EQ(byId.at(2)->daan, QStringLiteral("AC"));
    EXPECT_EQ(byId.at(3)->daan, QStringLiteral("×"));           // a FALSE cell
    EXPECT_EQ(byId.at(3)->jiexi, QStringLiteral("2025-01-02")); // a date cell
    for (int id : {1, 2, 3})
        EXPECT_EQ(std::make_pair(byId.at(id)->zhang, byId.at(id)->jie), std::make_pair(1, 1)) << id;
    EXPECT_EQ(m.stems.size(), 1u);
}

TEST(XlsxImport, BadWorkbooksAreNamedInChinese) {
    QTemporaryDir dir;
    const QString source = QDir(dir.path()).filePath(QStringLiteral("src"));
    const QString workbook = kFixtures + QStringLiteral("questions.xlsx");
    const QByteArray good = readFile(workbook);
    const QString renamedXls = QDir(dir.path()).filePath(QStringLiteral("renamed.xlsx"));
    const QString truncated = QDir(dir.path()).filePath(QStringLiteral("truncated.xlsx"));
    const QString text = QDir(dir.path()).filePath(QStringLiteral("text.xlsx"));
    const QString workbookAsCsv = QDir(dir.path()).filePath(QStringLiteral("workbook.csv"));
    WriteSourceFiles(dir.path(), {{QStringLiteral("renamed.xlsx"), readFile(kFixtures + QStringLiteral("old.xls"))},
                                  {QStringLiteral("truncated.xlsx"), good.left(good.size() / 2)},
                                  {QStringLiteral("text.xlsx"), "题型,章节\n"},
                                  {QStringLiteral("workbook.csv"), good}});
    struct Bad {
        QStringList args;
        int code;
        QString message;
    };
    const Bad bad[] = {
        {{workbook, QStringLiteral("--sheet"), QStringLiteral("错误")},
         1,
         workbook + QStringLiteral(":5: 答案 E 超出了选项")},
        {{workbook, QStringLiteral("--sheet"), QStringLiteral("第三套")},
         1,
         workbook + QStringLiteral(": 工作簿里没有名为“第三套”的工作表；有：“题目”、“错误”")},
        {{kFixtures + QStringLiteral("encrypted.xlsx")}, 1, QStringLiteral("工作簿设置了打开密码（已加密），无法读取")},
        {{kFixtures + QStringLiteral("old.xls")}, 2, QStringLiteral("请在表格程序中另存为 .xlsx 或 CSV（UTF-8）")},
        {{QStringLiteral("表格.ods")}, 2, QStringLiteral("请在表格程序中另存为 .xlsx 或 CSV（UTF-8）")},
        {{renamedXls},
         1,
         renamedXls + QStringLiteral(": 这是旧版 Excel 工作簿（.xls），不是 .xlsx：请在表格程序中另存为")},
        {{truncated}, 1, truncated + QStringLiteral(": 不是 Excel 工作簿（.xlsx）")},
        {{text}, 1, text + QStringLiteral(": 不是 Excel 工作簿（.xlsx）")},
        {{workbookAsCsv, QStringLiteral("--sheet"), QStringLiteral("错误")}, 1, QStringLiteral(":5: 答案 E")},
    };
    for (const Bad &b : bad) {
        const ToolRun r = runTool(QStringList{QStringLiteral("import")} + b.args + QStringList{source});
        EXPECT_EQ(r.code, b.code) << b.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.contains(b.message)) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(source));
    }
}

TEST(ImportCommand, QuestionsWithoutAChapterGoWhereTheTeacherSays) {
    QTemporaryDir dir;
    // Aiken and GIFT without $CATEGORY, both as .txt, beside the template's complete exam.
    WriteSourceFiles(dir.path(), {{QStringLiteral("aiken.txt"), "题一\nA. 甲\nB. 乙\nANSWER: B\n"},
                                  {QStringLiteral("gift.txt"), "题二 {~甲 ~%50%乙 =丙}\n"}});
    const QString aiken = QDir(dir.path()).filePath(QStringLiteral("aiken.txt"));
    const QString gift = QDir(dir.path()).filePath(QStringLiteral("gift.txt"));
    for (const QString &chapter : {QString(), QStringLiteral("第九章 导入/第一节 练习")}) {
        const QString source = QDir(dir.path()).filePath(chapter.isEmpty() ? QStringLiteral("a") : QStringLiteral("b"));
        QStringList args = {QStringLiteral("import"), kTemplate, aiken, gift, source};
        if (!chapter.isEmpty()) args << QStringLiteral("--chapter") << chapter;
        const ToolRun r = runTool(args);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const BankModel m = ReadBankSource(source);
        QStringList names;
        for (const BankChapter &c : m.chapters)
            names << c.mc;
        const QStringList want = chapter.isEmpty()
                                     ? QStringList{QStringLiteral("导入题目")}
                                     : QStringList{QStringLiteral("第九章 导入"), QStringLiteral("第一节 练习")};
        for (const QString &w : want)
            EXPECT_TRUE(names.contains(w)) << names.join(QLatin1Char(',')).toStdString();
        int found = 0;
        for (const BankQuestion &q : m.questions) {
            if (q.timian == QStringLiteral("题一")) found += q.daan == QStringLiteral("B") ? 1 : 0;
            if (q.timian == QStringLiteral("题二")) found += q.daan == QStringLiteral("C") ? 1 : 0;
        }
        EXPECT_EQ(found, 2);
    }
}

TEST(ImportCommand, EveryCommandHasItsHelp) {
    const std::pair<const char *, const char *> commands[] = {{"build", "build [--strict] SOURCE_DIR BANK"},
                                                              {"export", "export --csv BANK OUT.csv"},
                                                              {"check", "check [--strict] BANK"},
                                                              {"synth", "synth --questions N"},
                                                              {"import", "import FILE... --bank BANK"}};
    for (const auto &[command, usage] : commands) {
        const ToolRun r = runTool({QString::fromLatin1(command), QStringLiteral("--help")});
        EXPECT_EQ(r.code, 0) << command;
        EXPECT_TRUE(r.out.contains(QString::fromLatin1(usage))) << command << r.out.toStdString();
    }
    EXPECT_EQ(runTool({QStringLiteral("frobnicate"), QStringLiteral("--help")}).code, 2);
}

} // namespace
