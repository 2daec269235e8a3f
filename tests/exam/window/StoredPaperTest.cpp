#include "ExamWindowFixture.h"

// "查看" opens a paper as stored: a handed-in paper with its scores, nothing cleared.
TEST_F(ExamWindowTest, ViewingAHandedInPaperClearsNothing) {
    open();
    option(0);
    cell(3);
    option(1);
    mark();
    clickWidget(w().Image4);
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
    EXPECT_FALSE(w().Timer1->isActive());
    EXPECT_EQ(w().lblTime->text(), QStringLiteral("已结束！"));
    EXPECT_TRUE(w().Panel12->isVisible());
    EXPECT_TRUE(w().sBitBtn11->isVisible());
    EXPECT_EQ(w().Label25->text(), QStringLiteral("3"));
    EXPECT_EQ(w().StringGrid1->item(3, 3)->text(), QStringLiteral("1"));
    EXPECT_EQ(w().DBGrid1->rowCount(), 9);
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
    EXPECT_FALSE(w().Panel12->isVisible());
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QStringLiteral("A"));
    EXPECT_EQ(item(3, QStringLiteral("KSDA")), QStringLiteral("A"));
    EXPECT_EQ(w().card().state(0), State::Done);
    EXPECT_EQ(w().card().state(2), State::Marked);
    EXPECT_EQ(w().card().state(1), State::NotVisited);
    EXPECT_TRUE(w().optionButtons()[0]->isChecked());
    elapse(1000);
    EXPECT_EQ(w().lblTime->text(), SecondsToClock(7200 - 601 - 1));
    cell(2);
    EXPECT_TRUE(w().sCheckBox1->isChecked());
    // Handing it in now scores what was kept.
    clickWidget(w().Image4);
    EXPECT_EQ(w().Label25->text(), QStringLiteral("2"));
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
    clickWidget(w().Image4);
    ASSERT_EQ(w().StringGrid1->item(1, 3)->text(), QStringLiteral("4"));
    ASSERT_EQ(w().StringGrid1->item(2, 3)->text(), QString());
    ASSERT_EQ(w().StringGrid1->item(3, 3)->text(), QStringLiteral("1"));
    ASSERT_EQ(w().StringGrid1->item(4, 3)->text(), QStringLiteral("2"));
    QStringList sheet;
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c)
            sheet << w().StringGrid1->item(r, c)->text();
    const QString defen = catalogue(QStringLiteral("DEFEN"));
    const QString handedIn = catalogue(QStringLiteral("JJSJ"));
    platform.clock = platform.clock.addDays(3);
    if (resultDialog()) delete resultDialog();

    open(Opening::View);
    QStringList shown;
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c)
            shown << w().StringGrid1->item(r, c)->text();
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
    clickWidget(w().Image4);
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
    clickWidget(w().Image4);
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
    EXPECT_FALSE(w().Panel12->isVisible());
    EXPECT_TRUE(w().Timer1->isActive());
    elapse(1000);
    EXPECT_EQ(w().lblTime->text(), SecondsToClock(7200 - 11 - 1));
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QString());
    EXPECT_EQ(item(4, QStringLiteral("KSDA")), QStringLiteral("×"));
    EXPECT_EQ(w().card().state(3), State::Done);
}

// "重做" starts the paper again: answers and points cleared, marks kept.
TEST_F(ExamWindowTest, RedoStartsThePaperAgain) {
    open();
    option(0);
    mark();
    clickWidget(w().Image4);
    open(Opening::FromLaunch); // PaperKey still names the paper
    EXPECT_EQ(key(), QStringLiteral("1"));
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QString());
    EXPECT_EQ(item(1, QStringLiteral("kaolv")), QStringLiteral("1"));
    EXPECT_EQ(w().state(), ExamWindow::ExamState::Answering);
    EXPECT_EQ(w().card().state(0), State::Marked); // shown when its question is shown
    EXPECT_TRUE(w().Timer1->isActive());
}
