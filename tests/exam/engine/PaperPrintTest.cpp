// "打印试卷": a stored paper as a PDF of three parts, questions, answer sheet and key.

#include "PaperPrint.h"
#include "EngineFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextDocument>

namespace {

QGuiApplication &guiApp() {
    static int argc = 1;
    static char name[] = "paper_print_test";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return app;
}

// The page a text first appears on, counted from 0; -1 when it is not in the document.
int pageOf(QTextDocument &doc, const QString &text) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (b.text().contains(text))
            // A block moved to a new page starts at that page's top, give or take rounding.
            return int((doc.documentLayout()->blockBoundingRect(b).top() + 0.5) / doc.pageSize().height());
    return -1;
}

class PaperPrintTest : public EngineTest {
protected:
    void SetUp() override {
        guiApp();
        EngineTest::SetUp();
        addPool();
        bank.model.questions[0].timian = QStringLiteral("<b>不是标记</b> 题目11"); // bank texts are plain
        shapeBank();
        open();
        startNewPaper();
        paperId = launchParameters().PaperKey.toInt();
        // The first single answered, then handed in.
        const PaperRow first = engine->ReadPaperRow(0);
        engine->StoreAnswer(0, first.daan);
        engine->HandIn();
    }

    // Changes to the pool's rows before the bank is written.
    virtual void shapeBank() {}

    int paperId = 0;
};

TEST_F(PaperPrintTest, HandedInPaperHasQuestionsSheetAndKeyOnPagesOfTheirOwn) {
    const PrintedPaper paper = ReadPrintedPaper(*bankSession(), examProfile(), paperId, 1, true);
    ASSERT_EQ(paper.questions.size(), 9u); // 2 + 1 + 1 + one case of 5
    EXPECT_FALSE(paper.score.isEmpty());
    const auto doc = PaperDocument(paper);
    const QString text = doc->toPlainText();

    // Every question as the exam shows it, with its options and the case material once.
    for (const PrintedQuestion &item : paper.questions) {
        const QString stem =
            item.question.kind == QuestionKind::Case ? item.question.subQuestions[0].text : item.question.stem;
        EXPECT_TRUE(text.contains(QString::number(item.number) + QStringLiteral("、") + stem)) << stem.toStdString();
        EXPECT_TRUE(text.contains(item.explanation)) << item.explanation.toStdString();
    }
    EXPECT_EQ(text.count(QStringLiteral("【案例材料】")), 1);
    EXPECT_TRUE(text.contains(QStringLiteral("<b>不是标记</b>")));
    EXPECT_TRUE(text.contains(QStringLiteral("A、选项")));
    EXPECT_TRUE(text.contains(QStringLiteral("二、多选题（共 1 题，每题 2 分）")));
    EXPECT_TRUE(text.contains(QStringLiteral("考生答案：") + paper.questions[0].standardAnswer));
    EXPECT_TRUE(text.contains(QStringLiteral("考生答案：未作答")));

    const int lastQuestion = pageOf(*doc, QStringLiteral("9、"));
    const int sheet = pageOf(*doc, AnswerSheetHeading());
    const int key = pageOf(*doc, KeyHeading());
    EXPECT_EQ(pageOf(*doc, QuestionsHeading(paper)), 0);
    EXPECT_GT(sheet, lastQuestion);
    EXPECT_GT(key, sheet);

    const QString pdf = bank.dir() + QStringLiteral("paper.pdf");
    const int pages = WritePaperPdf(paper, pdf);
    EXPECT_EQ(pages, doc->pageCount());
    EXPECT_GE(pages, 3);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(QString::fromLatin1(bytes).count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b(?!s)"))), pages);
    // The Chinese font travels with the file.
    EXPECT_TRUE(bytes.contains("/FontFile")) << "no embedded font";
    EXPECT_TRUE(bytes.contains("CJK")) << "not the Chinese font";
}

TEST_F(PaperPrintTest, BlankPaperLeavesTheSheetEmptyAndKeepsTheKey) {
    const PrintedPaper paper = ReadPrintedPaper(*bankSession(), examProfile(), paperId, 1, false);
    EXPECT_TRUE(paper.score.isEmpty());
    for (const PrintedQuestion &item : paper.questions) {
        EXPECT_TRUE(item.answer.isEmpty());
        EXPECT_TRUE(item.points.isEmpty());
    }
    const QString text = PaperDocument(paper)->toPlainText();
    EXPECT_FALSE(text.contains(QStringLiteral("考生答案")));
    EXPECT_TRUE(text.contains(QStringLiteral("请在答案栏内填写答案。")));
    EXPECT_TRUE(text.contains(QStringLiteral("参考答案：") + paper.questions[0].standardAnswer));
}

TEST_F(PaperPrintTest, APaperThatDoesNotExistIsSaidInChinese) {
    try {
        ReadPrintedPaper(*bankSession(), examProfile(), 999, 1, true);
        FAIL() << "a missing paper was printed";
    } catch (const KjksError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("没有找到这份试卷，无法打印。"));
    }
}

// What a reader searches and copies: the PDF's text as poppler's pdftotext extracts it, white
// space removed (it breaks lines where the page does). Empty when the tool is missing.
QString extractedText(const QString &pdf) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) return QString();
    QProcess p;
    p.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return QStringLiteral("pdftotext failed");
    return QString::fromUtf8(p.readAllStandardOutput()).remove(QRegularExpression(QStringLiteral("\\s")));
}

QString withoutSpace(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

// Texts whose characters Noto CJK draws with the glyphs of radicals (入 ⼊, 生 ⽣, 一 ⼀, 长 ⻓, 见 ⻅,
// 食 ⻝), options of digits only, explanations split between pages, and a picture in every case
// material.
class PaperTextLayerTest : public PaperPrintTest {
protected:
    void shapeBank() override {
        for (BankQuestion &q : bank.model.questions) {
            q.timian = QStringLiteral("考生的收入一二、长期借款见附注，人工日月用食堂车门（%1）").arg(q.id);
            if (q.options.size() == 4)
                q.options = {{QStringLiteral("12")},
                             {QStringLiteral("3.5")},
                             {QStringLiteral("收入")},
                             {QStringLiteral("生产成本")}};
            // Long enough to run on over a page break, so some paragraph is split between pages.
            q.jiexi =
                QStringLiteral("第%1题：").arg(q.id) + QStringLiteral("入账生产成本一万二千元，见附注。").repeated(30);
        }
        for (BankStem &s : bank.model.stems) {
            s.zongtimian = QStringLiteral("甲公司有关科目的期末余额见下图（%1）。").arg(s.id);
            s.tmimage = FixtureJpeg(120, 80);
        }
    }
};

TEST_F(PaperTextLayerTest, ExtractedTextIsThePapersTextOnce) {
    const PrintedPaper paper = ReadPrintedPaper(*bankSession(), examProfile(), paperId, 1, true);
    const QString pdf = bank.dir() + QStringLiteral("text.pdf");
    WritePaperPdf(paper, pdf);
    const QString text = extractedText(pdf);
    if (text.isEmpty()) GTEST_SKIP() << "pdftotext is missing (poppler-utils; scripts/deps.sh installs it)";

    QString radicals;
    for (const QChar c : text)
        if (c.unicode() >= 0x2E80 && c.unicode() <= 0x2FDF) radicals += c;
    EXPECT_EQ(radicals, QString());
    EXPECT_TRUE(text.contains(QStringLiteral("考生的收入一二")));
    EXPECT_TRUE(text.contains(QStringLiteral("A、12B、3.5C、收入D、生产成本"))) << text.toStdString();
    for (const PrintedQuestion &item : paper.questions) {
        const Question &q = item.question;
        if (q.kind == QuestionKind::Case) {
            EXPECT_TRUE(text.contains(withoutSpace(QStringLiteral("【案例材料】") + q.stem)));
            for (const SubQuestion &sub : q.subQuestions)
                EXPECT_TRUE(
                    text.contains(withoutSpace(QString::number(item.number) + QStringLiteral("、") + sub.text)));
        } else {
            // Once: a page's first line is not also kept, out of sight, on the page before.
            EXPECT_EQ(text.count(withoutSpace(QString::number(item.number) + QStringLiteral("、") + q.stem)), 1)
                << q.stem.toStdString();
            for (int i = 0; i < q.options.size(); ++i)
                EXPECT_TRUE(text.contains(withoutSpace(OptionCaption(i, q.options[i]))));
        }
        EXPECT_TRUE(text.contains(withoutSpace(QStringLiteral("解析：") + item.explanation)));
    }
    // Each part starts at a page's top.
    EXPECT_EQ(text.count(AnswerSheetHeading()), 1);
    EXPECT_EQ(text.count(KeyHeading()), 1);

    // The case material's picture is in the file.
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("/Subtype /Image"));
}

} // namespace

class PaperPrintSectionsTest : public EngineTest {
protected:
    void SetUp() override {
        guiApp();
        EngineTest::SetUp();
    }
};

// A bank without multiple choice: the printed paper has no such section and numbers the others on.
TEST_F(PaperPrintSectionsTest, APaperWithoutASectionNumbersTheOthersOn) {
    for (int id : {11, 12, 13})
        bank.addQuestion(id, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    for (int id : {31, 32})
        bank.addQuestion(id, QStringLiteral("判断题"), 1, 2, QStringLiteral("√"), 0);
    bank.addStem(7, 1, 2);
    setProfile("duoxuanti", QStringLiteral("0"));
    setProfile("duoxuanfen", QStringLiteral("0"));
    open();
    startNewPaper();
    engine->HandIn();
    const PrintedPaper paper =
        ReadPrintedPaper(*bankSession(), examProfile(), launchParameters().PaperKey.toInt(), 1, true);
    ASSERT_EQ(paper.questions.size(), 8u);
    const QString text = PaperDocument(paper)->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("一、单选题（共 2 题，每题 2 分）")));
    EXPECT_TRUE(text.contains(QStringLiteral("二、判断题（共 1 题，每题 1 分）")));
    EXPECT_TRUE(text.contains(QStringLiteral("三、不定项选择题（共 5 题，每题 2 分）")));
    EXPECT_FALSE(text.contains(QStringLiteral("多选题")));
    EXPECT_FALSE(text.contains(QStringLiteral("四、")));
}
