#include "ExamWindowFixture.h"

TEST_F(ExamWindowTest, CountdownShowsTheTimeLeftOnTheMonotonicClock) {
    open(); // 7200 s: the fixture's title holds "实务"
    EXPECT_TRUE(w().Timer1->isActive());
    elapse(1000);
    EXPECT_EQ(w().lblTime->text(), QStringLiteral("1:59:59"));
    // A second not fully passed still counts.
    elapse(400);
    EXPECT_EQ(w().lblTime->text(), QStringLiteral("1:59:59"));
    // A stalled event loop does not stretch the exam: ten minutes pass between two ticks.
    elapse(600 + 600 * 1000);
    EXPECT_EQ(w().lblTime->text(), QStringLiteral("1:49:58"));
    platform.monotonic += qint64(7200 - 600 - 2 - 59) * 1000;
    w().Timer1Timer();
    EXPECT_EQ(w().lblTime->text(), QStringLiteral("0:00:59"));
    EXPECT_EQ(launchParameters().ExamTimeSeconds, 59);
}

TEST_F(ExamWindowTest, TheBanksExamMinutesSetTheCountdown) {
    addPool();
    bank.model.options[QStringLiteral("EXAM_MINUTES")] = QStringLiteral("105");
    open();
    elapse(1000);
    EXPECT_EQ(w().lblTime->text(), QStringLiteral("1:44:59"));
}

TEST_F(ExamWindowTest, TimeOutSaysSoThenAsksToHandInAndCancelKeepsTheWindowOpen) {
    open();
    platform.confirmAnswers = {false};
    elapse(7200 * 1000);
    EXPECT_EQ(w().lblTime->text(), QStringLiteral("0:00:00"));
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[0].kind, RecordingPlatform::BoxKind::Info);
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("考试时间已到。"));
    EXPECT_EQ(platform.boxes[1].kind, RecordingPlatform::BoxKind::Confirm);
    EXPECT_EQ(platform.boxes[1].caption, QStringLiteral("提示"));
    EXPECT_EQ(platform.boxes[1].text, QStringLiteral("还没交卷，是要交卷退出吗？"));
    EXPECT_TRUE(w().isVisible());
    EXPECT_FALSE(w().Timer1->isActive());
    EXPECT_EQ(w().state(), TFrmChapterTest_NewAH::ExamState::TimedOut);
    elapse(5000); // no further countdown
    EXPECT_EQ(w().lblTime->text(), QStringLiteral("0:00:00"));
    EXPECT_EQ(platform.boxes.size(), 2u);
    // Still answering, and the header's hand-in still works.
    option(0);
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QStringLiteral("A"));
    clickWidget(w().Image4);
    EXPECT_EQ(w().state(), TFrmChapterTest_NewAH::ExamState::HandedIn);
    EXPECT_EQ(w().lblTime->text(), QStringLiteral("已结束！"));
    EXPECT_FALSE(catalogue(QStringLiteral("JJSJ")).isEmpty());
}
