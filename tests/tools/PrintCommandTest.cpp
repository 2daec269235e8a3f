// `kjks-bank print`: seeded papers from a bank into one PDF, the bank only read.

#include "BankSynth.h"
#include "BankTestSupport.h"
#include "BankWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

ToolRun runTool(const QStringList &args) {
    return RunBankTool(QStringLiteral(KJKS_BANK_EXE), args, 120000);
}

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The PDF's text as poppler's pdftotext extracts it; empty when the tool is missing.
QString pdfText(const QString &pdf) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) return QString();
    QProcess p;
    p.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class PrintCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        bank = path(QStringLiteral("班级题库.dbf"));
        WriteBank(SyntheticBank(300, 2), bank);
    }
    QString path(const QString &name) const { return QDir(dir.path()).filePath(name); }

    QTemporaryDir dir;
    QString bank;
};

TEST_F(PrintCommand, ASeedGivesTheSamePapersAndTheBankIsOnlyRead) {
    const QByteArray before = fileBytes(bank);
    const QString one = path(QStringLiteral("一套.pdf")), two = path(QStringLiteral("两套.pdf")),
                  blank = path(QStringLiteral("空白.pdf")), other = path(QStringLiteral("另一套.pdf"));
    ToolRun r = runTool({QStringLiteral("print"), bank, one, QStringLiteral("--seed"), QStringLiteral("9")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("已写出 %1：1 套试卷").arg(QDir::toNativeSeparators(one))));
    EXPECT_TRUE(r.out.contains(QStringLiteral("（种子 9）")));
    r = runTool({QStringLiteral("print"), QStringLiteral("--papers"), QStringLiteral("2"), bank, two,
                 QStringLiteral("--seed"), QStringLiteral("9")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("2 套试卷")));
    r = runTool({QStringLiteral("print"), bank, blank, QStringLiteral("--blank"), QStringLiteral("--seed"),
                 QStringLiteral("9")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("空白卷")));
    r = runTool({QStringLiteral("print"), bank, other, QStringLiteral("--seed"), QStringLiteral("10")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(fileBytes(bank), before);

    const QString first = pdfText(one);
    if (first.isEmpty()) GTEST_SKIP() << "pdftotext is missing (poppler-utils; scripts/deps.sh installs it)";
    EXPECT_TRUE(first.contains(QStringLiteral("模拟试卷（第 1 套）")));
    EXPECT_TRUE(first.contains(QStringLiteral("参考答案与解析")));
    // The second set follows the same first paper, on pages of its own.
    const QString both = pdfText(two);
    EXPECT_TRUE(both.startsWith(first));
    EXPECT_TRUE(both.mid(first.size()).startsWith(QStringLiteral("初级会计实务 模拟试卷（第 2 套）")));
    // The blank paper: the same questions and answer sheet, no key.
    const QString sheetOnly = pdfText(blank);
    EXPECT_EQ(sheetOnly, first.left(first.indexOf(QStringLiteral("参考答案与解析"))));
    EXPECT_NE(pdfText(other), first);
}

TEST_F(PrintCommand, RefusesWithoutWriting) {
    const QString pdf = path(QStringLiteral("卷.pdf"));
    const QString notABank = path(QStringLiteral("笔记.dbf"));
    QFile f(notABank);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("这不是题库");
    f.close();
    const QByteArray before = fileBytes(bank);
    struct Case {
        QStringList args;
        int code;
        QString said;
    };
    const Case cases[] = {
        {{path(QStringLiteral("没有.dbf")), pdf}, 1, QStringLiteral("找不到题库文件")},
        {{notABank, pdf}, 1, QStringLiteral("无法打开题库")},
        {{bank, bank}, 1, QStringLiteral("PDF 文件不能是题库本身")},
        {{bank, path(QStringLiteral("没有的文件夹/卷.pdf"))}, 1, QStringLiteral("无法写入文件")},
        {{bank, pdf, QStringLiteral("--papers"), QStringLiteral("0")}, 2, QStringLiteral("--papers takes 1 to 200")},
        {{bank, pdf, QStringLiteral("--seed"), QStringLiteral("-1")}, 2, QStringLiteral("--seed takes")},
        {{bank, pdf, QStringLiteral("--seed")}, 2, QStringLiteral("needs a number")},
        {{bank, pdf, QStringLiteral("--key")}, 2, QStringLiteral("unexpected '--key'")},
        {{bank}, 2, QStringLiteral("print takes BANK OUT.pdf")},
    };
    for (const Case &c : cases) {
        const ToolRun r = runTool(QStringList{QStringLiteral("print")} + c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.contains(c.said)) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(pdf));
    }
    EXPECT_EQ(fileBytes(bank), before);
}

} // namespace
