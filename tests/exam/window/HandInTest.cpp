#include "ExamWindowFixture.h"

TEST_F(ExamWindowTest, HandInShowsScoresListAndTheFirstQuestionsResult) {
    open();
    option(0); // right: 2 points
    cell(3);
    option(1); // right: 1 point
    clickWidget(w().handInArea);
    EXPECT_EQ(w().state(), ExamWindow::ExamState::HandedIn);
    EXPECT_FALSE(w().countdownTimer->isActive());
    EXPECT_EQ(w().countdownLabel->text(), QStringLiteral("已结束！"));
    EXPECT_TRUE(w().scorePanel->isVisible());
    EXPECT_TRUE(w().explanationButton->isVisible());
    EXPECT_EQ(w().totalScoreLabel->text(), QStringLiteral("3"));
    EXPECT_EQ(w().scoreSheetGrid->item(1, 0)->text(), QStringLiteral("单选题"));
    EXPECT_EQ(w().scoreSheetGrid->item(1, 3)->text(), QStringLiteral("2"));
    EXPECT_EQ(w().scoreSheetGrid->item(2, 3)->text(), QString());            // nothing scored
    EXPECT_EQ(w().scoreSheetGrid->item(5, 2)->text(), QStringLiteral("17")); // the sections' points
    EXPECT_EQ(catalogue(QStringLiteral("defen")), QStringLiteral("3"));
    // The answer list, and question 1 with its result dialog.
    ASSERT_EQ(w().answerListGrid->rowCount(), 9);
    EXPECT_EQ(w().answerListGrid->item(0, 3)->text(), QStringLiteral("A"));
    EXPECT_EQ(w().answerListGrid->item(3, 4)->text(), QStringLiteral("1"));
    EXPECT_EQ(w().currentPosition(), 0);
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
    clickWidget(w().handInArea);
    const QRect cellRect = w().answerListGrid->visualRect(w().answerListGrid->model()->index(4, 1));
    QTest::mouseClick(w().answerListGrid->viewport(), Qt::LeftButton, {}, cellRect.center());
    EXPECT_EQ(w().currentPosition(), 4);
    EXPECT_EQ(w().view().currentIndex(), 3);
    ASSERT_NE(resultDialog(), nullptr);
    EXPECT_EQ(resultDialog()->windowTitle(), QStringLiteral("评分(第5题)"));
    EXPECT_EQ(resultDialog()->standardScoreLabel->text(), QStringLiteral("10分")); // a case: five sub-questions' worth
    // "本题解析" for the same question: its own points.
    click(w().explanationButton);
    EXPECT_EQ(resultDialog()->standardScoreLabel->text(), QStringLiteral("2分"));
    // A handed-in paper is final: the options only show what was answered.
    bank.statements.clear();
    option(0);
    EXPECT_EQ(item(5, QStringLiteral("KSDA")), QString());
    clickWidget(w().handInArea);
    EXPECT_TRUE(bank.statements.filter(QStringLiteral("update")).isEmpty());
}

TEST_F(ExamWindowTest, HandInAsksFirstAndNamesWhatIsUnansweredAndMarked) {
    open();
    option(0);
    mark();
    platform.confirmAnswers = {false};
    clickWidget(w().handInArea);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].kind, RecordingPlatform::BoxKind::Confirm);
    EXPECT_EQ(platform.boxes[0].text,
              QStringLiteral("还有 8 道题未作答。有 1 道题已标记。交卷后不能再修改答案，确定要交卷吗？"));
    EXPECT_EQ(w().state(), ExamWindow::ExamState::Answering);
    EXPECT_TRUE(w().countdownTimer->isActive());
    EXPECT_TRUE(catalogue(QStringLiteral("JJSJ")).isEmpty());
}

// Every answer shows whole in the list: a long one wraps instead of being cut.
TEST_F(ExamWindowTest, TheAnswerListShowsLongAnswersWhole) {
    bank.model.options[QStringLiteral("EXAM_SCORING")] = QStringLiteral("partial");
    open();
    cell(2);
    for (int i : {0, 1, 2, 3})
        option(i); // "ABCD"
    clickWidget(w().handInArea);
    const int row = 2;
    QTableWidgetItem *answer = w().answerListGrid->item(row, 3);
    EXPECT_EQ(answer->text(), QStringLiteral("ABCD"));
    const QFontMetrics metrics(w().answerListGrid->font());
    EXPECT_GE(w().answerListGrid->columnWidth(3) * 2, metrics.horizontalAdvance(answer->text()));
    EXPECT_GE(w().answerListGrid->rowHeight(row), metrics.height());
    EXPECT_EQ(w().answerListGrid->textElideMode(), Qt::ElideNone);
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
