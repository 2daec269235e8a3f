#include "ExamWindowFixture.h"

TEST_F(ExamWindowTest, HandInShowsScoresListAndTheFirstQuestionsResult) {
    open();
    option(0); // right: 2 points
    cell(3);
    option(1); // right: 1 point
    clickWidget(w().Image4);
    EXPECT_EQ(w().state(), ExamWindow::ExamState::HandedIn);
    EXPECT_FALSE(w().Timer1->isActive());
    EXPECT_EQ(w().lblTime->text(), QStringLiteral("已结束！"));
    EXPECT_TRUE(w().Panel12->isVisible());
    EXPECT_TRUE(w().sBitBtn11->isVisible());
    EXPECT_EQ(w().Label25->text(), QStringLiteral("3"));
    EXPECT_EQ(w().StringGrid1->item(1, 0)->text(), QStringLiteral("单选题"));
    EXPECT_EQ(w().StringGrid1->item(1, 3)->text(), QStringLiteral("2"));
    EXPECT_EQ(w().StringGrid1->item(2, 3)->text(), QString()); // nothing scored
    EXPECT_EQ(w().StringGrid1->item(5, 2)->text(), QStringLiteral("100"));
    EXPECT_EQ(catalogue(QStringLiteral("defen")), QStringLiteral("3"));
    // The answer list, and question 1 with its result dialog.
    ASSERT_EQ(w().DBGrid1->rowCount(), 9);
    EXPECT_EQ(w().DBGrid1->item(0, 3)->text(), QStringLiteral("A"));
    EXPECT_EQ(w().DBGrid1->item(3, 4)->text(), QStringLiteral("1"));
    EXPECT_EQ(w().CurrentPosition, 0);
    ASSERT_NE(resultDialog(), nullptr);
    EXPECT_EQ(resultDialog()->windowTitle(), QStringLiteral("评分(第1题)"));
    // Closing asks nothing now.
    platform.boxes.clear();
    w().close();
    EXPECT_FALSE(w().isVisible());
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(ExamWindowTest, AnswerListClickShowsTheRowsQuestionAndResult) {
    open();
    clickWidget(w().Image4);
    const QRect cellRect = w().DBGrid1->visualRect(w().DBGrid1->model()->index(4, 1));
    QTest::mouseClick(w().DBGrid1->viewport(), Qt::LeftButton, {}, cellRect.center());
    EXPECT_EQ(w().CurrentPosition, 4);
    EXPECT_EQ(w().PageControl1->currentIndex(), 3);
    ASSERT_NE(resultDialog(), nullptr);
    EXPECT_EQ(resultDialog()->windowTitle(), QStringLiteral("评分(第5题)"));
    EXPECT_EQ(resultDialog()->standardScoreLabel->text(), QStringLiteral("10分")); // a case: five sub-questions' worth
    // "本题解析" for the same question: its own points.
    click(w().sBitBtn11);
    EXPECT_EQ(resultDialog()->standardScoreLabel->text(), QStringLiteral("2分"));
    // A handed-in paper is final: the options only show what was answered.
    bank.statements.clear();
    option(0);
    EXPECT_EQ(item(5, QStringLiteral("KSDA")), QString());
    clickWidget(w().Image4);
    EXPECT_TRUE(bank.statements.filter(QStringLiteral("update")).isEmpty());
}

TEST_F(ExamWindowTest, HandInAsksFirstAndNamesWhatIsUnansweredAndMarked) {
    open();
    option(0);
    mark();
    platform.confirmAnswers = {false};
    clickWidget(w().Image4);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].kind, RecordingPlatform::BoxKind::Confirm);
    EXPECT_EQ(platform.boxes[0].text,
              QStringLiteral("还有 8 道题未作答。有 1 道题已标记。交卷后不能再修改答案，确定要交卷吗？"));
    EXPECT_EQ(w().state(), ExamWindow::ExamState::Answering);
    EXPECT_TRUE(w().Timer1->isActive());
    EXPECT_TRUE(catalogue(QStringLiteral("JJSJ")).isEmpty());
}

// Every answer shows whole in the list: a long one wraps instead of being cut.
TEST_F(ExamWindowTest, TheAnswerListShowsLongAnswersWhole) {
    bank.model.options[QStringLiteral("EXAM_SCORING")] = QStringLiteral("partial");
    open();
    cell(2);
    for (int i : {0, 1, 2, 3})
        option(i); // "ABCD"
    clickWidget(w().Image4);
    const int row = 2;
    QTableWidgetItem *answer = w().DBGrid1->item(row, 3);
    EXPECT_EQ(answer->text(), QStringLiteral("ABCD"));
    const QFontMetrics metrics(w().DBGrid1->font());
    EXPECT_GE(w().DBGrid1->columnWidth(3) * 2, metrics.horizontalAdvance(answer->text()));
    EXPECT_GE(w().DBGrid1->rowHeight(row), metrics.height());
    EXPECT_EQ(w().DBGrid1->textElideMode(), Qt::ElideNone);
}

TEST_F(ExamWindowTest, ClosingBeforeHandInAsksAndOkHandsIn) {
    open();
    platform.confirmAnswers = {false, true};
    w().close();
    EXPECT_TRUE(w().isVisible());
    EXPECT_TRUE(catalogue(QStringLiteral("JJSJ")).isEmpty());
    key(Qt::Key_Escape); // Esc goes the same way
    EXPECT_FALSE(w().isVisible());
    EXPECT_FALSE(catalogue(QStringLiteral("JJSJ")).isEmpty());
    EXPECT_EQ(w().state(), ExamWindow::ExamState::HandedIn);
    ASSERT_EQ(platform.boxes.size(), 2u);
    // The result of question 1 that the hand-in opened outlives the window.
    window.reset();
    ASSERT_NE(resultDialog(), nullptr);
    EXPECT_TRUE(resultDialog()->isVisible());
    EXPECT_EQ(resultDialog()->windowTitle(), QStringLiteral("评分(第1题)"));
}
