#include "QuestionView.h"
#include "FixtureBank.h"
#include "Question.h"
#include "TestApp.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// The question view on its own, in both windows' looks: what each kind of question shows, that a
// stored answer is shown without being reported, that a read-only view and a view during a move
// take no clicks, and that a picture that cannot be shown leaves the question answerable.
namespace {

const std::vector<QuestionView::Page> kAllPages = {QuestionView::ChoicePage, QuestionView::OperationPage,
                                                   QuestionView::AnalysisPage, QuestionView::CasePage};

QByteArray jpeg(int width, int height) {
    return FixtureJpeg(width, height);
}

Question question(QuestionKind kind, const QString &stem, QStringList options = {}) {
    Question q;
    q.kind = kind;
    q.id = 1;
    q.stem = stem;
    q.options = std::move(options);
    return q;
}

Question caseWith(int subQuestions, int options) {
    Question q = question(QuestionKind::Case, QStringLiteral("案例 材料"));
    for (int k = 0; k < subQuestions; ++k) {
        SubQuestion sub{101 + k, QStringLiteral("小题%1").arg(k + 1), {}};
        for (int j = 0; j < options; ++j)
            sub.options << QStringLiteral("选项%1").arg(j + 1);
        q.subQuestions.push_back(sub);
    }
    return q;
}

class QuestionViewTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        testApp();
        practice = GetParam();
        view = std::make_unique<QuestionView>(practice ? QuestionLook::Practice() : QuestionLook::Exam(), kAllPages);
        view->resize(900, 560);
        view->show();
        QCoreApplication::processEvents();
    }

    QAbstractButton *button(size_t i) const { return view->optionButtons().at(i); }
    void click(size_t i) { QTest::mouseClick(button(i), Qt::LeftButton); }
    std::vector<bool> ticked() const {
        std::vector<bool> out;
        for (QAbstractButton *b : view->optionButtons())
            out.push_back(b->isChecked());
        return out;
    }

    bool practice = false;
    std::unique_ptr<QuestionView> view;
};

TEST_P(QuestionViewTest, EachKindIsPresentedOnItsPage) {
    const QStringList four = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")};
    const QString number = practice ? QString() : QStringLiteral("7、");
    const struct {
        const char *name;
        Question question;
        QuestionView::Page page;
        size_t buttons;
        bool radio;
    } cases[] = {
        {"single", question(QuestionKind::Single, QStringLiteral("单选 题干"), four), QuestionView::ChoicePage, 4,
         true},
        {"multiple", question(QuestionKind::Multiple, QStringLiteral("多选"), four.mid(0, 3)), QuestionView::ChoicePage,
         3, false},
        {"judgement", question(QuestionKind::Judgement, QStringLiteral("判断")), QuestionView::ChoicePage, 2, true},
        {"analysis", question(QuestionKind::Analysis, QStringLiteral("计算 分析")), QuestionView::AnalysisPage, 0,
         false},
        {"operation", question(QuestionKind::Operation, QStringLiteral("录入 凭证")), QuestionView::OperationPage, 0,
         false},
        {"case", caseWith(practice ? 3 : 1, 4), QuestionView::CasePage, practice ? 12u : 4u, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        view->present(c.question, practice ? 0 : 7); // practice shows its numbers in the header
        QCoreApplication::processEvents();
        EXPECT_EQ(view->currentIndex(), int(c.page));
        ASSERT_EQ(view->optionButtons().size(), c.buttons);
        for (QAbstractButton *b : view->optionButtons()) {
            EXPECT_EQ(b->autoExclusive(), c.radio);
            EXPECT_TRUE(b->isVisible());
        }
        switch (c.question.kind) {
        case QuestionKind::Single:
        case QuestionKind::Multiple:
            EXPECT_EQ(button(1)->text(), OptionCaption(1, c.question.options.at(1)));
            [[fallthrough]];
        case QuestionKind::Judgement:
            EXPECT_TRUE(view->stemBox->toPlainText().contains(c.question.stem)) << "a choice stem keeps its blanks";
            EXPECT_EQ(view->stemBox->toPlainText().startsWith(number + c.question.stem), !practice);
            break;
        case QuestionKind::Analysis:
            EXPECT_EQ(view->analysisStem->text(), number + QStringLiteral("计算\n分析"));
            break;
        case QuestionKind::Operation:
            EXPECT_EQ(view->operationBox->toPlainText(), number + QStringLiteral("录入\n凭证"));
            break;
        case QuestionKind::Case:
            EXPECT_EQ(view->caseStem->text(), QStringLiteral("案例\n材料")) << "the material carries no number";
            EXPECT_EQ(view->subQuestionLabel() != nullptr, !practice);
            EXPECT_EQ(view->ticksBySubQuestion().size(), c.question.subQuestions.size());
            break;
        }
    }
    // A question shown after another keeps none of its controls.
    view->present(question(QuestionKind::Judgement, QStringLiteral("判断")));
    EXPECT_EQ(view->optionButtons().size(), 2u);
    EXPECT_EQ(view->optionControls().size(), 2u);
    EXPECT_EQ(view->subQuestionLabel(), nullptr);
}

// Showing what the bank holds ticks the controls and reports nothing; a learner's choice is reported.
TEST_P(QuestionViewTest, AStoredAnswerIsShownWithoutBeingReported) {
    const QStringList five = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                              QStringLiteral("5")};
    const struct {
        Question question;
        QString stored;
        std::vector<bool> shown;
    } cases[] = {
        {question(QuestionKind::Single, QStringLiteral("单选"), five),
         QStringLiteral("C"),
         {false, false, true, false, false}},
        {question(QuestionKind::Multiple, QStringLiteral("多选"), five),
         QStringLiteral("DB"),
         {false, true, false, true, false}},
        {question(QuestionKind::Multiple, QStringLiteral("多选"), five),
         QStringLiteral("AZ"),
         {true, false, false, false, false}},
        {question(QuestionKind::Judgement, QStringLiteral("判断")), QStringLiteral("×"), {false, true}},
        {question(QuestionKind::Judgement, QStringLiteral("判断")), QStringLiteral("√"), {true, false}},
        {question(QuestionKind::Single, QStringLiteral("单选"), five), QString(), {false, false, false, false, false}},
    };
    QSignalSpy reports(view.get(), &QuestionView::answerGiven);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        view->present(c.question);
        view->showStoredAnswer(c.stored);
        EXPECT_EQ(ticked(), c.shown);
        EXPECT_EQ(reports.count(), 0);
    }
    view->present(caseWith(1, 4));
    view->showStoredAnswer(QStringLiteral("BD"));
    EXPECT_EQ(view->answer(), QStringLiteral("BD"));
    EXPECT_EQ(reports.count(), 0);

    click(0);
    ASSERT_EQ(reports.count(), 1);
    EXPECT_EQ(reports.takeFirst().at(0).toString(), QStringLiteral("ABD"));
}

TEST_P(QuestionViewTest, KeysChooseOptionsAsClicksDo) {
    QSignalSpy reports(view.get(), &QuestionView::answerGiven);
    view->present(question(QuestionKind::Multiple, QStringLiteral("多选"), {QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_TRUE(view->chooseOption(1));
    EXPECT_FALSE(view->chooseOption(2)) << "no third option";
    EXPECT_TRUE(view->chooseOption(0));
    EXPECT_TRUE(view->chooseOption(1)); // toggled off again
    ASSERT_EQ(reports.count(), 3);
    EXPECT_EQ(reports.at(0).at(0).toString(), QStringLiteral("B"));
    EXPECT_EQ(reports.at(1).at(0).toString(), QStringLiteral("AB"));
    EXPECT_EQ(reports.at(2).at(0).toString(), QStringLiteral("A"));

    // A chosen radio button chosen again: practice checks it again, the exam has nothing new.
    reports.clear();
    view->present(question(QuestionKind::Judgement, QStringLiteral("判断")));
    view->chooseOption(1);
    view->chooseOption(1);
    EXPECT_EQ(reports.count(), practice ? 2 : 1);
    EXPECT_EQ(reports.at(0).at(0).toString(), QStringLiteral("×"));
}

// A handed-in paper, and the moment of a move: clicks and keys change nothing and report nothing.
TEST_P(QuestionViewTest, ClicksAreDroppedWhenReadOnlyAndDuringAMove) {
    QSignalSpy reports(view.get(), &QuestionView::answerGiven);
    view->present(question(QuestionKind::Single, QStringLiteral("单选"), {QStringLiteral("1"), QStringLiteral("2")}));
    view->showStoredAnswer(QStringLiteral("A"));
    view->setReadOnly(true);
    click(1);
    EXPECT_FALSE(view->chooseOption(1));
    EXPECT_EQ(ticked(), std::vector<bool>({true, false})) << "the answer stays readable";
    view->present(caseWith(1, 3)); // read-only holds for every question shown after
    click(0);
    EXPECT_EQ(ticked(), std::vector<bool>({false, false, false}));
    view->setReadOnly(false);

    view->setMoving(true);
    click(2);
    EXPECT_EQ(ticked(), std::vector<bool>({false, false, false}));
    view->setMoving(false);
    EXPECT_EQ(reports.count(), 0);
    click(2);
    EXPECT_EQ(reports.count(), 1);
}

// A picture that does not load is named in its place, in both windows, and the question stays
// answerable; a good picture sits below the stem with the second text below it.
TEST_P(QuestionViewTest, AnUnreadablePictureIsNamedAndTheQuestionStaysAnswerable) {
    const QByteArray good = jpeg(120, 60);
    const struct {
        const char *name;
        QByteArray bytes;
        bool shown;
    } pictures[] = {{"not a JPEG", QByteArray("GIF89a not a jpeg"), false},
                    {"truncated", good.left(good.size() / 3), false},
                    {"a JPEG", good, true}};
    QSignalSpy reports(view.get(), &QuestionView::answerGiven);
    for (const auto &p : pictures) {
        SCOPED_TRACE(p.name);
        Question analysis = question(QuestionKind::Analysis, QStringLiteral("分析"));
        analysis.picture = p.bytes;
        analysis.secondText = QStringLiteral("单位：万元");
        Question stem = caseWith(1, 2);
        stem.picture = p.bytes;
        for (const Question &q : {analysis, stem}) {
            view->present(q);
            QCoreApplication::processEvents();
            QLabel *picture = q.kind == QuestionKind::Case ? view->casePicture : view->analysisPicture;
            QLabel *stemLabel = q.kind == QuestionKind::Case ? view->caseStem : view->analysisStem;
            ASSERT_TRUE(picture->isVisible());
            EXPECT_EQ(picture->text(), p.shown ? QString() : QStringLiteral("图片无法显示"));
            EXPECT_EQ(picture->pixmap().isNull(), !p.shown);
            EXPECT_EQ(picture->geometry().top(), stemLabel->geometry().bottom() + 1 + 10);
        }
        EXPECT_TRUE(view->caseExtra->isVisible());
        click(1);
    }
    EXPECT_EQ(reports.count(), 3);
    // Without a picture the second text stays hidden.
    Question plain = question(QuestionKind::Analysis, QStringLiteral("分析"));
    plain.secondText = QStringLiteral("单位：万元");
    view->present(plain);
    EXPECT_FALSE(view->analysisPicture->isVisible());
    EXPECT_FALSE(view->analysisExtra->isVisible());
}

// A question with a text that could not be decoded shows what was read and no half set of options.
TEST_P(QuestionViewTest, AnUnreadableQuestionShowsNoOptions) {
    Question broken = question(QuestionKind::Single, QStringLiteral("题干"));
    broken.unreadable = true;
    view->present(broken);
    EXPECT_TRUE(view->optionButtons().empty());
    EXPECT_TRUE(view->stemBox->toPlainText().contains(QStringLiteral("题干")));
    broken.stem.clear();
    view->present(broken);
    EXPECT_EQ(view->stemBox->toPlainText(), QString()) << "no stem of another question stays";
}

INSTANTIATE_TEST_SUITE_P(BothLooks, QuestionViewTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return std::string(info.param ? "Practice" : "Exam");
                         });

// The answer rules of the value, without a view.
TEST(QuestionRules, AnswersAndTheControlsTheyTick) {
    const struct {
        QuestionKind kind;
        std::vector<bool> ticked;
        QString answer;
    } cases[] = {
        {QuestionKind::Single, {false, true, true}, QStringLiteral("B")},
        {QuestionKind::Multiple, {true, false, true, true}, QStringLiteral("ACD")},
        {QuestionKind::Multiple, {false, false}, QString()},
        {QuestionKind::Judgement, {false, true}, QStringLiteral("×")},
        {QuestionKind::Judgement, {true, false}, QStringLiteral("√")},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(AnswerOf(c.kind, c.ticked), c.answer);
        std::vector<bool> back(c.ticked.size(), false);
        for (int i : TickedBy(c.kind, c.answer, int(c.ticked.size())))
            back[size_t(i)] = true;
        if (c.kind != QuestionKind::Single) {
            EXPECT_EQ(back, c.ticked);
        }
    }
    EXPECT_EQ(TickedBy(QuestionKind::Multiple, QStringLiteral("DAZ"), 4), std::vector<int>({3, 0}));
    EXPECT_EQ(FourthQuestionKind(QStringLiteral("不定项选择题")), QuestionKind::Case);
    EXPECT_EQ(FourthQuestionKind(QStringLiteral("其他")), std::nullopt);
    EXPECT_EQ(BlanksToLines(QStringLiteral("a b c")), QStringLiteral("a\nb\nc"));
}

} // namespace
