// What a teacher reads when an import is refused: the file named for what it is, every refusal of
// every file in one run in file order, places in the teacher's words, duplicates pointed out.

#include "BankTestSupport.h"
#include "CsvImport.h"
#include "ImportModel.h"

#include <QDir>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString importProblems(const QByteArray &csv, QStringList *warnings = nullptr) {
    ImportProblems problems;
    problems.noteFile(QStringLiteral("t.csv"));
    const std::vector<ImportedQuestion> read = ReadCsvQuestions(QStringLiteral("t.csv"), csv, &problems);
    QStringList hints;
    AssembleImport(read, &problems, warnings ? warnings : &hints);
    return problems.lines().join(QLatin1Char('\n'));
}

QByteArray utf16(const QString &text, QStringConverter::Encoding encoding) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

TEST(ImportMessages, NameTheFileOrTheRowForWhatItIs) {
    const QString header = QStringLiteral("题型,章节,题干,A,B,答案\n");
    const struct {
        const char *name;
        QByteArray csv;
        const char *expected; // part of the first refusal
    } cases[] = {
        {"semicolons", "题型;章节;题干;A;B;答案\n单选题;第一章;题;甲;乙;A\n", "t.csv:1: 文件用分号分隔各列，不是逗号"},
        {"tabs", "题型\t章节\t题干\t答案\n判断题\t第一章\t题\t√\n", "t.csv:1: 文件用制表符分隔各列"},
        {"UTF-16 little-endian", utf16(header, QStringConverter::Utf16LE), "t.csv:1: 文件是 UTF-16 编码"},
        {"UTF-16 big-endian", utf16(header, QStringConverter::Utf16BE), "t.csv:1: 文件是 UTF-16 编码"},
        {"a character GBK cannot hold in an option",
         "题型,章节,题干,A,B,答案\n单选题,第一章,题,甲,乙 \xF0\x9F\x98\x80,A\n",
         "t.csv:2: 选项 B：字符“\xF0\x9F\x98\x80”（U+1F600）不能用 GBK 保存"},
    };
    for (const auto &c : cases) {
        const QString got = importProblems(c.csv);
        EXPECT_TRUE(got.startsWith(QString::fromUtf8(c.expected))) << c.name << ":\n" << got.toStdString();
        EXPECT_FALSE(got.contains(QStringLiteral("kjks_"))) << c.name << ": " << got.toStdString();
        EXPECT_FALSE(got.contains(QStringLiteral("表头缺少"))) << c.name;
    }
}

TEST(ImportMessages, CheckAndCrossMarksAreTrueAndFalse) {
    const struct {
        const char *written;
        const char *stored;
    } marks[] = {{"✔", "√"}, {"✓", "√"}, {"√", "√"}, {"✘", "×"}, {"✗", "×"}, {"×", "×"}};
    for (const auto &m : marks) {
        QString error;
        EXPECT_EQ(NormaliseAnswer(ImportKind::Judgement, QString::fromUtf8(m.written), 0, &error),
                  QString::fromUtf8(m.stored))
            << m.written << ": " << error.toStdString();
    }
}

// The same type and stem twice is imported, with a hint naming both rows; the same stem as another
// type is no duplicate.
TEST(ImportMessages, DuplicateQuestionsAreHintsNamingBothRows) {
    QStringList hints;
    const QString got = importProblems("题型,章节,题干,A,B,答案\n"
                                       "判断题,第一章,资产是资源,,,√\n"
                                       "单选题,第一章,资产是资源,甲,乙,A\n"
                                       "判断题,第一章,资产是资源,,,×\n",
                                       &hints);
    EXPECT_FALSE(got.contains(QStringLiteral("相同"))) << got.toStdString();
    ASSERT_EQ(hints.size(), 1) << hints.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(hints[0], QStringLiteral("t.csv:4: 题型和题干与 t.csv:2 的题目相同"));
}

// Two files, the mistakes the reader finds and those of the assembly and the bank's rules mixed:
// one run names them all, the first file's before the second's, each file by line.
TEST(ImportMessages, EveryRefusalOfEveryFileInOneRunInFileOrder) {
    QTemporaryDir dir;
    WriteSourceFiles(dir.path(), {{QStringLiteral("b.csv"), "题型,章节,题干,A,B,C,答案,编号\n"
                                                            "单选题,第一章,题一,甲,乙,,C,\n"
                                                            "选择,第一章,题二,甲,乙,,A,\n"
                                                            "单选题,,题三,甲,乙,,A,\n"
                                                            "单选题,第一章,好 \xF0\x9F\x98\x80,甲,乙,,A,\n"
                                                            "单选题,第一章,题五,甲,,丙,A,x\n"},
                                  {QStringLiteral("a.csv"), "题型,章节,题干,答案,编号\n"
                                                            "判断题,第一章,甲,√,7\n"
                                                            "判断题,第一章,乙,对不对,\n"
                                                            "判断题,第一章,丙,√,7\n"}});
    const QString a = QDir(dir.path()).filePath(QStringLiteral("a.csv"));
    const QString b = QDir(dir.path()).filePath(QStringLiteral("b.csv"));
    QProcess p;
    p.start(QStringLiteral(KJKS_BANK_EXE),
            {QStringLiteral("import"), b, a, QDir(dir.path()).filePath(QStringLiteral("out"))});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    const QStringList got = QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QStringList expected = {
        b + QStringLiteral(":2: 答案 C 超出了选项"),
        b + QStringLiteral(":3: 题型“选择”不认识"),
        b + QStringLiteral(":4: 缺少章节"),
        b + QStringLiteral(":5: 题干：字符“😀”（U+1F600）不能用 GBK 保存"),
        b + QStringLiteral(":6: 编号“x”不是正整数"),
        b + QStringLiteral(":6: 选项 B 为空"),
        a + QStringLiteral(":3: 判断题的答案写 √ 或 ×"),
        a + QStringLiteral(":4: 编号 7 已用于 ") + a + QStringLiteral(":2"),
        QStringLiteral("kjks-bank: 共 8 处问题"),
    };
    ASSERT_EQ(got.size(), expected.size()) << got.join(QLatin1Char('\n')).toStdString();
    for (int i = 0; i < got.size(); ++i)
        EXPECT_TRUE(got[i].startsWith(expected[i])) << i << ": " << got[i].toStdString();
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(QStringLiteral("out"))));
}

} // namespace
