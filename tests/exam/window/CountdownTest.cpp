#include "ExamWindowFixture.h"

TEST_F(ExamWindowTest, CountdownShowsTheTimeLeftOnTheMonotonicClock) {
    open(); // 7200 s: the fixture's title holds "实务"
    EXPECT_TRUE(w().countdownTimer->isActive());
    elapse(1000);
    EXPECT_EQ(w().countdownLabel->text(), QStringLiteral("1:59:59"));
    // A second not fully passed still counts.
    elapse(400);
    EXPECT_EQ(w().countdownLabel->text(), QStringLiteral("1:59:59"));
    // A stalled event loop does not stretch the exam: ten minutes pass between two ticks.
    elapse(600 + 600 * 1000);
    EXPECT_EQ(w().countdownLabel->text(), QStringLiteral("1:49:58"));
    platform.monotonic += qint64(7200 - 600 - 2 - 59) * 1000;
    w().tickCountdown();
    EXPECT_EQ(w().countdownLabel->text(), QStringLiteral("0:00:59"));
    EXPECT_EQ(launchParameters().ExamTimeSeconds, 59);
}

TEST_F(ExamWindowTest, TheBanksExamMinutesSetTheCountdown) {
    addPool();
    bank.model.options[QStringLiteral("EXAM_MINUTES")] = QStringLiteral("105");
    open();
    elapse(1000);
    EXPECT_EQ(w().countdownLabel->text(), QStringLiteral("1:44:59"));
}

TEST_F(ExamWindowTest, TheTimeLeftIsKeptEveryFiveSeconds) {
    open();
    const QString kept = QStringLiteral("select seconds_left from kjks_app_exam_time where sjID = 1");
    EXPECT_EQ(bank.scalar(kept).toInt(), 7200);
    elapse(4000);
    EXPECT_EQ(bank.scalar(kept).toInt(), 7200);
    elapse(1000);
    EXPECT_EQ(bank.scalar(kept).toInt(), 7195);
}

// At the time-out the paper is handed in without asking, and nothing is answered after it.
TEST_F(ExamWindowTest, TimeOutHandsInAtTheLastSecondAndTakesNoMoreAnswers) {
    open();
    option(0);
    elapse(7199 * 1000);
    EXPECT_EQ(w().countdownLabel->text(), QStringLiteral("0:00:01"));
    EXPECT_EQ(w().state(), ExamWindow::ExamState::Answering);
    EXPECT_TRUE(platform.boxes.empty());
    elapse(1000);
    ASSERT_GE(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].kind, RecordingPlatform::BoxKind::Info);
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("考试时间已到。"));
    for (const auto &box : platform.boxes)
        EXPECT_NE(box.kind, RecordingPlatform::BoxKind::Confirm);
    EXPECT_EQ(w().state(), ExamWindow::ExamState::HandedIn);
    EXPECT_FALSE(w().countdownTimer->isActive());
    EXPECT_FALSE(catalogue(QStringLiteral("JJSJ")).isEmpty());
    EXPECT_EQ(catalogue(QStringLiteral("DEFEN")), QStringLiteral("2"));
    cell(0);
    option(1);
    EXPECT_FALSE(w().optionButtons()[1]->isChecked());
    key(Qt::Key_C);
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QStringLiteral("A"));
    EXPECT_EQ(catalogue(QStringLiteral("DEFEN")), QStringLiteral("2"));
}

// A hand-in the bank refuses changes nothing: the exam goes on with its clock. At the time-out the
// time kept is 0, so the paper can never be answered again; opened later, it is handed in at once.
TEST_F(ExamWindowTest, ARefusedHandInKeepsTheExamGoingAndATimedOutPaperIsHandedInWhenOpened) {
    open();
    option(0);
    bank.exec(QStringLiteral("create trigger refuse_hand_in before update of JJSJ on kjks_SJML "
                             "begin select raise(abort, 'database or disk is full'); end"));
    clickWidget(w().handInArea);
    ASSERT_EQ(platform.boxes.size(), 2u); // the confirmation, then why it failed
    EXPECT_EQ(platform.boxes[1].kind, RecordingPlatform::BoxKind::Error);
    EXPECT_TRUE(platform.boxes[1].text.startsWith(QStringLiteral("交卷没有完成")));
    EXPECT_EQ(w().state(), ExamWindow::ExamState::Answering);
    EXPECT_TRUE(w().countdownTimer->isActive());
    EXPECT_NE(w().countdownLabel->text(), QStringLiteral("已结束！"));
    EXPECT_TRUE(catalogue(QStringLiteral("JJSJ")).isEmpty());
    elapse(3000);
    EXPECT_EQ(w().countdownLabel->text(), QStringLiteral("1:59:57"));

    elapse(7200 * 1000);
    EXPECT_EQ(w().state(), ExamWindow::ExamState::TimedOut);
    EXPECT_EQ(bank.scalar(QStringLiteral("select seconds_left from kjks_app_exam_time where sjID = 1")).toInt(), 0);
    option(1);
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QStringLiteral("A"));
    window.reset(); // the program ends

    bank.exec(QStringLiteral("drop trigger refuse_hand_in"));
    open(Opening::View);
    EXPECT_EQ(w().state(), ExamWindow::ExamState::HandedIn);
    EXPECT_FALSE(catalogue(QStringLiteral("JJSJ")).isEmpty());
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QStringLiteral("A"));
}

// A full disk at hand-in (the bank may not grow by a page): the learner hears that the disk is full
// and that the paper is unchanged, and the exam goes on.
TEST_F(ExamWindowTest, AFullDiskAtHandInIsNamedAndChangesNothing) {
    open();
    option(0);
    const int pages = bank.scalar(QStringLiteral("pragma page_count")).toInt();
    bank.exec(QStringLiteral("pragma max_page_count = %1").arg(pages));
    bank.exec(QStringLiteral("pragma cache_size = 0"));
    clickWidget(w().handInArea);
    ASSERT_EQ(platform.boxes.size(), 2u) << platform.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(platform.boxes[1].text.startsWith(QStringLiteral("交卷没有完成，试卷没有改变。")));
    EXPECT_TRUE(platform.boxes[1].text.contains(QStringLiteral("磁盘空间不足")))
        << platform.boxes[1].text.toStdString();
    EXPECT_EQ(w().state(), ExamWindow::ExamState::Answering);
    EXPECT_TRUE(catalogue(QStringLiteral("JJSJ")).isEmpty());
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QStringLiteral("A"));
}

// The time runs out while a box is open: the countdown goes on under it, the box is closed as if
// cancelled (a learner about to say yes to the hand-in question included), and the time-out
// follows as always, on no other box: "考试时间已到。" and one hand-in.
TEST_F(ExamWindowTest, ATimeOutWhileABoxIsOpenClosesItAndHandsInOnce) {
    using Box = RecordingPlatform::Box;
    const std::vector<std::pair<const char *, std::function<void()>>> openers = {
        {"hand-in question", [&] { clickWidget(w().handInArea); }},
        {"keys", [&] { key(Qt::Key_F1); }},
        {"close question", [&] { key(Qt::Key_Escape); }},
    };
    for (const auto &[name, openBox] : openers) {
        SCOPED_TRACE(name);
        launchParameters().PaperKey = QStringLiteral("0");
        open();
        option(0);
        w().countdownTimer->setInterval(1);
        platform.confirmAnswers = {true};
        QString shownWhileOpen;
        platform.whileOpen = [&](const Box &box) {
            if (box.openBelow > 0 || box.text == QStringLiteral("考试时间已到。")) return;
            platform.monotonic += 7200 * 1000;
            if (QTest::qWaitFor([&] { return w().state() != ExamWindow::ExamState::Answering; }, 5000))
                shownWhileOpen = w().countdownLabel->text();
        };
        openBox();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w().state() == ExamWindow::ExamState::HandedIn; }, 5000));
        platform.whileOpen = nullptr;
        platform.confirmAnswers.clear();
        EXPECT_EQ(shownWhileOpen, QStringLiteral("0:00:00"));
        ASSERT_EQ(platform.boxes.size(), 2u) << platform.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(platform.boxes[0].closedByProgram);
        EXPECT_EQ(platform.boxes[1].text, QStringLiteral("考试时间已到。"));
        EXPECT_EQ(platform.boxes[1].openBelow, 0);
        EXPECT_EQ(catalogue(QStringLiteral("DEFEN")), QStringLiteral("2"));
        EXPECT_TRUE(w().isVisible()); // the score panel shows; closing was not decided
    }
}
