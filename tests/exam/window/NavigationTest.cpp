#include "AccessibleNames.h"
#include "ExamWindowFixture.h"
#include "TabOrder.h"

TEST_F(ExamWindowTest, PreviousAndNextCrossSectionsAndStopAtTheEnds) {
    open();
    previous(); // at question 1: nothing changes
    EXPECT_EQ(w().currentPosition(), 0);
    EXPECT_TRUE(w().previousButton->isEnabled());
    EXPECT_TRUE(w().nextButton->isEnabled());
    next();
    next(); // last single -> first multiple, with check boxes
    EXPECT_EQ(w().currentPosition(), 2);
    EXPECT_EQ(w().currentSection(), QuestionType::Multiple);
    EXPECT_FALSE(w().optionButtons()[0]->autoExclusive());
    EXPECT_TRUE(w().view().stemBox->toPlainText().startsWith(QStringLiteral("3、")));
    EXPECT_EQ(w().card().state(1), State::NotDone); // left: white
    EXPECT_EQ(w().card().state(2), State::Current);
    previous(); // back to a single with radio buttons
    EXPECT_EQ(w().currentSection(), QuestionType::Single);
    EXPECT_TRUE(w().optionButtons()[0]->autoExclusive());
    cell(8);
    next(); // at the last question: nothing changes
    EXPECT_EQ(w().currentPosition(), 8);
    EXPECT_TRUE(w().previousButton->isEnabled());
    EXPECT_TRUE(w().nextButton->isEnabled());
    // Exactly one current cell at any time.
    int current = 0;
    for (int p = 0; p < w().card().size(); ++p)
        current += w().card().state(p) == State::Current;
    EXPECT_EQ(current, 1);
}

TEST_F(ExamWindowTest, FourthHeaderShowsTheFourthSectionsFirstQuestion) {
    open();
    clickWidget(w().fourthHeader);
    EXPECT_EQ(w().currentPosition(), 4);
    EXPECT_EQ(w().view().currentIndex(), 3);
}

TEST_F(ExamWindowTest, FourthHeaderOfAnEmptyFourthSectionDoesNothing) {
    setProfile("shicaotype", QStringLiteral("其他")); // a fourth type no section is drawn for
    open();
    ASSERT_EQ(w().card().size(), 9);
    EXPECT_TRUE(w().paperQuestionIds()[4].isEmpty());
    cell(2);
    clickWidget(w().fourthHeader);
    EXPECT_EQ(w().currentPosition(), 2);
    EXPECT_EQ(w().card().state(2), State::Current);
}

TEST_F(ExamWindowTest, AnalysisAndOperationPapersUseTheirPages) {
    addPool();
    for (int id : {41, 42, 43})
        bank.addQuestion(id, QStringLiteral("实操题"), 1, 1, QStringLiteral("答案"), 0);
    bank.model.questions.back().timian = QStringLiteral("操作 第二行");
    setProfile("shicaoti", QStringLiteral("2"));
    struct Case {
        const char16_t *type;
        int page;
        bool video;
    } cases[] = {{u"计算分析题", 2, false}, {u"电算化操作题", 1, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.type).toStdString());
        setProfile("shicaotype", QString::fromUtf16(c.type));
        opened = false;
        launchParameters().PaperKey = QStringLiteral("0");
        bank.model.papers.clear();
        open();
        ASSERT_TRUE(platform.boxes.empty()) << platform.texts().join(QLatin1Char('/')).toStdString();
        clickWidget(w().fourthHeader);
        EXPECT_EQ(w().currentPosition(), 4);
        EXPECT_EQ(w().view().currentIndex(), c.page);
        EXPECT_TRUE(w().optionButtons().empty());
        EXPECT_EQ(w().videoButton->isVisible(), c.video);
        EXPECT_EQ(w().backToExamButton->isVisible(), c.video);
        if (c.video) {
            EXPECT_FALSE(w().videoButton->isEnabled()); // no demonstration program beside the program
            EXPECT_TRUE(w().view().operationBox->toPlainText().startsWith(QStringLiteral("5、")));
            cell(0); // once shown, "返回考试界面" stays, disabled
            EXPECT_TRUE(w().backToExamButton->isVisible());
            EXPECT_FALSE(w().videoButton->isVisible());
            clickWidget(w().handInArea); // the answer list hides operation answers
            EXPECT_EQ(w().answerListGrid->item(4, 2)->text(), QStringLiteral("略"));
            EXPECT_EQ(w().answerListGrid->item(4, 3)->text(), QStringLiteral("略"));
        } else {
            EXPECT_TRUE(w().view().analysisStem->text().startsWith(QStringLiteral("5、")));
        }
    }
}

TEST_F(ExamWindowTest, CalculatorAndVideoDemoGoThroughTheShell) {
    addPool();
    for (int id : {41, 42})
        bank.addQuestion(id, QStringLiteral("实操题"), 1, 1, QStringLiteral("答案"), 0);
    setProfile("shicaotype", QStringLiteral("电算化操作题"));
    setProfile("shicaoti", QStringLiteral("1"));
    QDir().mkpath(bank.dir() + QStringLiteral("StuName"));
    for (int id : {41, 42}) {
        QFile program(bank.dir() + QStringLiteral("StuName/%1.exe").arg(id));
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    }
    open();
    click(w().calculatorButton);
    EXPECT_EQ(platform.opened, QStringList{QStringLiteral("Calc.EXE")});
    clickWidget(w().fourthHeader);
    ASSERT_TRUE(w().videoButton->isEnabled());
    click(w().videoButton);
    ASSERT_EQ(platform.opened.size(), 2);
    EXPECT_TRUE(
        platform.opened[1].endsWith(QStringLiteral("StuName/") + w().paperQuestionIds()[4] + QStringLiteral(".exe")));
    EXPECT_GE(platform.pausedMs, 1100); // eleven pauses while it comes up
}

// The card and "交卷" by keyboard, and what a screen reader says for a cell.
TEST_F(ExamWindowTest, TheCardAndTheHandInAreaWorkByKeyboardAndSayTheirState) {
    open();
    option(0);
    EXPECT_EQ(w().card().label(0)->accessibleName(), QStringLiteral("第1题，已做，当前题"));
    EXPECT_EQ(w().card().label(1)->accessibleName(), QStringLiteral("第2题，未看"));
    w().card().label(0)->setFocus();
    QTest::keyClick(w().card().label(0), Qt::Key_Right);
    QTest::keyClick(w().card().label(1), Qt::Key_Right);
    ASSERT_TRUE(w().card().label(2)->hasFocus());
    QTest::keyClick(w().card().label(2), Qt::Key_Left);
    ASSERT_TRUE(w().card().label(1)->hasFocus());
    QTest::keyClick(w().card().label(1), Qt::Key_Return);
    EXPECT_EQ(w().currentPosition(), 1);
    EXPECT_EQ(w().card().label(0)->accessibleName(), QStringLiteral("第1题，已做"));
    EXPECT_EQ(w().card().label(1)->accessibleName(), QStringLiteral("第2题，未做，当前题"));
    EXPECT_EQ(w().handInArea->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(w().handInArea->accessibleName(), QStringLiteral("交卷"));
    w().handInArea->setFocus();
    QTest::keyClick(w().handInArea, Qt::Key_Space); // asks first, as a click does
    ASSERT_FALSE(platform.boxes.empty());
    EXPECT_EQ(platform.boxes.front().kind, RecordingPlatform::BoxKind::Confirm);
}

// Every control a learner can operate in the exam has a name a screen reader can say.
TEST_F(ExamWindowTest, EveryControlHasANameForScreenReaders) {
    open();
    QStringList unnamed = UnnamedControls(&w());
    next();
    next();
    unnamed << UnnamedControls(&w());
    unnamed.removeDuplicates();
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral(", ")).toStdString();
}

TEST_F(ExamWindowTest, F1ListsTheKeys) {
    open();
    QTest::keyClick(&w(), Qt::Key_F1);
    EXPECT_EQ(platform.texts(), QStringList{ExamWindow::KeysText()});
}
// Tab goes from 交卷 to the answer card, one stop at the current question, and on to the buttons
// under the question; a button reached so takes Enter, and the window's keys work there too.
TEST_F(ExamWindowTest, TabReachesTheCardOnceAndTheButtonsInOrder) {
    open();
    QList<QWidget *> chain = TabChain(&w());
    EXPECT_EQ(FirstOutOfTabOrder(chain, {w().handInArea, w().card().label(0), w().markBox, w().previousButton,
                                         w().nextButton, w().calculatorButton}),
              nullptr);
    EXPECT_FALSE(chain.contains(w().card().label(1)));
    w().nextButton->setFocus();
    QTest::keyClick(w().nextButton, Qt::Key_Return);
    EXPECT_EQ(w().currentPosition(), 1);
    chain = TabChain(&w());
    EXPECT_TRUE(chain.contains(w().card().label(1)));
    EXPECT_FALSE(chain.contains(w().card().label(0)));
    QTest::keyClick(w().nextButton, Qt::Key_Left);
    EXPECT_EQ(w().currentPosition(), 0);
    w().markBox->setFocus();
    QTest::keyClick(w().markBox, Qt::Key_A);
    EXPECT_EQ(w().card().label(0)->accessibleName(), QStringLiteral("第1题，已做，当前题"));
    QTest::keyClick(w().markBox, Qt::Key_Space);
    EXPECT_TRUE(w().markBox->isChecked());
}
