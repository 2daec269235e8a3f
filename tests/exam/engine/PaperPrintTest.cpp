// "打印试卷": a stored paper as a PDF of three parts, questions, answer sheet and key.

#include "PaperPrint.h"
#include "EngineFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
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
        open();
        startNewPaper();
        paperId = launchParameters().PaperKey.toInt();
        // The first single answered, then handed in.
        const PaperRow first = engine->ReadPaperRow(0);
        engine->StoreAnswer(0, first.daan);
        engine->HandIn();
    }

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
