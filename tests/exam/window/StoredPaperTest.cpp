#include "ExamWindowFixture.h"

// "查看" opens a paper as stored: a handed-in paper with its scores, nothing cleared.
TEST_F(ExamWindowTest, ViewingAHandedInPaperClearsNothing) {
    open();
    option(0);
    cell(3);
    option(1);
    mark();
    clickWidget(w().handInArea);
    const QString handedIn = catalogue(QStringLiteral("JJSJ"));
    const QString started = catalogue(QStringLiteral("DTKSSJ"));
    platform.clock = platform.clock.addSecs(3600);
    if (resultDialog()) delete resultDialog();

    open(Opening::View);
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QStringLiteral("A"));
    EXPECT_EQ(item(1, QStringLiteral("defen")), QStringLiteral("2"));
    EXPECT_EQ(catalogue(QStringLiteral("DTKSSJ")), started);
    EXPECT_EQ(catalogue(QStringLiteral("JJSJ")), handedIn);
    EXPECT_EQ(w().state(), ExamWindow::ExamState::HandedIn);
    EXPECT_FALSE(w().countdownTimer->isActive());
    EXPECT_EQ(w().countdownLabel->text(), QStringLiteral("已结束！"));
    EXPECT_TRUE(w().scorePanel->isVisible());
    EXPECT_TRUE(w().explanationButton->isVisible());
    EXPECT_EQ(w().totalScoreLabel->text(), QStringLiteral("3"));
    EXPECT_EQ(w().scoreSheetGrid->item(3, 3)->text(), QStringLiteral("1"));
    EXPECT_EQ(w().answerListGrid->rowCount(), 9);
    EXPECT_EQ(w().card().state(0), State::Done);
    EXPECT_EQ(w().card().state(3), State::Marked);
    EXPECT_TRUE(w().optionButtons()[0]->isChecked());
    platform.boxes.clear();
    w().close();
    EXPECT_TRUE(platform.boxes.empty());
}

// A paper never handed in (the program ended under it) continues with its answers, marks and time.
TEST_F(ExamWindowTest, APaperLeftWithoutHandInContinuesWhereItStopped) {
    open();
    option(0);
    cell(2);
    option(0);
    mark();
    elapse(1000);
    elapse(600 * 1000); // ten minutes in; the time left is kept as the countdown runs
    window.reset();     // the program ends without hand-in
    ASSERT_TRUE(catalogue(QStringLiteral("JJSJ")).isEmpty());

    platform.monotonic += 3600 * 1000; // the machine was off for an hour
    open(Opening::View);
    EXPECT_EQ(w().state(), ExamWindow::ExamState::Answering);
    EXPECT_FALSE(w().scorePanel->isVisible());
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QStringLiteral("A"));
    EXPECT_EQ(item(3, QStringLiteral("KSDA")), QStringLiteral("A"));
    EXPECT_EQ(w().card().state(0), State::Done);
    EXPECT_EQ(w().card().state(2), State::Marked);
    EXPECT_EQ(w().card().state(1), State::NotVisited);
    EXPECT_TRUE(w().optionButtons()[0]->isChecked());
    elapse(1000);
    EXPECT_EQ(w().countdownLabel->text(), SecondsToClock(7200 - 601 - 1));
    cell(2);
    EXPECT_TRUE(w().markBox->isChecked());
    // Handing it in now scores what was kept.
    clickWidget(w().handInArea);
    EXPECT_EQ(w().totalScoreLabel->text(), QStringLiteral("2"));
}

// "查看" of a handed-in paper shows it as it was handed in and stores nothing.
TEST_F(ExamWindowTest, AHandedInPaperIsReadOnlyAndShowsTheScoreSheetItWasHandedInWith) {
    open();
    // Every section sums to its own figure, so a row shown under another section is seen.
    option(0);
    cell(1);
    option(0); // singles: 4
    cell(3);
    option(1); // judgement: 1
    cell(5);
    option(1); // a case sub-question: 2; the multiple-choice question stays unanswered: empty
    clickWidget(w().handInArea);
    ASSERT_EQ(w().scoreSheetGrid->item(1, 3)->text(), QStringLiteral("4"));
    ASSERT_EQ(w().scoreSheetGrid->item(2, 3)->text(), QString());
    ASSERT_EQ(w().scoreSheetGrid->item(3, 3)->text(), QStringLiteral("1"));
    ASSERT_EQ(w().scoreSheetGrid->item(4, 3)->text(), QStringLiteral("2"));
    QStringList sheet;
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c)
            sheet << w().scoreSheetGrid->item(r, c)->text();
    const QString defen = catalogue(QStringLiteral("DEFEN"));
    const QString handedIn = catalogue(QStringLiteral("JJSJ"));
    platform.clock = platform.clock.addDays(3);
    if (resultDialog()) delete resultDialog();

    open(Opening::View);
    QStringList shown;
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c)
            shown << w().scoreSheetGrid->item(r, c)->text();
    EXPECT_EQ(shown, sheet);
    bank.statements.clear();
    option(1);
    mark();
    key(Qt::Key_C);
    key(Qt::Key_M);
    next();
    previous();
    cell(2);
    option(0);
    clickWidget(w().handInArea);
    w().close();
    EXPECT_FALSE(w().isVisible());
    for (const QString &s : bank.statements)
        EXPECT_FALSE(s.startsWith(QStringLiteral("update")) || s.startsWith(QStringLiteral("insert")))
            << s.toStdString();
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QStringLiteral("A"));
    EXPECT_EQ(catalogue(QStringLiteral("DEFEN")), defen);
    EXPECT_EQ(catalogue(QStringLiteral("JJSJ")), handedIn);
}

// A redo that the program did not live to hand in continues like any unfinished paper: its own
// answers, its kept time, and no old score sheet.
TEST_F(ExamWindowTest, AnInterruptedRedoContinuesWithItsKeptTime) {
    open();
    option(0);
    clickWidget(w().handInArea);
    if (resultDialog()) delete resultDialog();
    platform.clock = platform.clock.addDays(1);
    open(Opening::FromLaunch); // 重做
    cell(3);
    option(1);
    elapse(1000);
    elapse(10 * 1000);
    window.reset(); // the program is killed

    open(Opening::View);
    EXPECT_EQ(w().state(), ExamWindow::ExamState::Answering);
    EXPECT_FALSE(w().scorePanel->isVisible());
    EXPECT_TRUE(w().countdownTimer->isActive());
    elapse(1000);
    EXPECT_EQ(w().countdownLabel->text(), SecondsToClock(7200 - 11 - 1));
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QString());
    EXPECT_EQ(item(4, QStringLiteral("KSDA")), QStringLiteral("×"));
    EXPECT_EQ(w().card().state(3), State::Done);
}

// "重做" starts the paper again: answers and points cleared, marks kept.
TEST_F(ExamWindowTest, RedoStartsThePaperAgain) {
    open();
    option(0);
    mark();
    clickWidget(w().handInArea);
    open(Opening::FromLaunch); // PaperKey still names the paper
    EXPECT_EQ(key(), QStringLiteral("1"));
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QString());
    EXPECT_EQ(item(1, QStringLiteral("kaolv")), QStringLiteral("1"));
    EXPECT_EQ(w().state(), ExamWindow::ExamState::Answering);
    EXPECT_EQ(w().card().state(0), State::Marked); // shown when its question is shown
    EXPECT_TRUE(w().countdownTimer->isActive());
}
