#include "ExamWindowFixture.h"

namespace {
using Box = RecordingPlatform::Box;
using Kind = RecordingPlatform::BoxKind;

const QString kKeptSeconds = QStringLiteral("select seconds_left from kjks_app_exam_time where sjID = 1");
const QString kKeptTimeBox = QStringLiteral("考试剩余时间无法保存，答案也可能无法保存。");

int countOf(const std::vector<Box> &boxes, const QString &start) {
    return int(std::count_if(boxes.begin(), boxes.end(), [&](const Box &b) { return b.text.startsWith(start); }));
}
} // namespace

// The bank's disk fills up: every write to a table then needs a page more than the bank may grow by,
// and the engine answers as it does on a full disk.
class FullDiskTest : public ExamWindowTest {
protected:
    void fillDiskFor(const char *table, const char *change) {
        bank.exec(QStringLiteral("create table if not exists ballast (b BLOB)"));
        bank.exec(QStringLiteral("create trigger if not exists fill_%1_%2 after %2 on %1 begin "
                                 "insert into ballast values (zeroblob(65536)); end")
                      .arg(QString::fromLatin1(table), QString::fromLatin1(change)));
        bank.exec(
            QStringLiteral("pragma max_page_count = %1").arg(bank.scalar(QStringLiteral("pragma page_count")).toInt()));
    }
    void freeDisk() { bank.exec(QStringLiteral("pragma max_page_count = 1073741823")); }
    // Lets the queued work of the window (its reports) run.
    void settle() { QCoreApplication::processEvents(); }
};

// One box over many failed saves, with the cause; the exam and its clock go on, the next saves try
// again, and the line under the buttons says when the time is kept again. A later failure is a new
// one and is reported again, once.
TEST_F(FullDiskTest, AFailingSaveOfTheTimeIsReportedOnceAndItsRecoveryQuietly) {
    open();
    fillDiskFor("kjks_app_exam_time", "insert");
    for (int i = 0; i < 6; ++i) {
        elapse(5000);
        settle();
    }
    ASSERT_EQ(platform.boxes.size(), 1u) << platform.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(platform.boxes[0].kind, Kind::Error);
    EXPECT_TRUE(platform.boxes[0].text.startsWith(kKeptTimeBox));
    EXPECT_TRUE(platform.boxes[0].text.contains(QStringLiteral("磁盘空间不足")))
        << platform.boxes[0].text.toStdString();
    EXPECT_EQ(w().countdownLabel->text(), QStringLiteral("1:59:30"));
    EXPECT_EQ(w().state(), ExamWindow::ExamState::Answering);
    EXPECT_FALSE(w().keptTimeStatus->isHidden());
    EXPECT_TRUE(w().keptTimeStatus->text().contains(QStringLiteral("无法保存")));
    EXPECT_EQ(bank.scalar(kKeptSeconds).toInt(), 7200);

    freeDisk();
    elapse(5000);
    settle();
    EXPECT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(bank.scalar(kKeptSeconds).toInt(), 7165);
    EXPECT_EQ(w().keptTimeStatus->text(), QStringLiteral("考试剩余时间已恢复保存。"));
    elapse(30 * 1000);
    EXPECT_TRUE(w().keptTimeStatus->isHidden());

    fillDiskFor("kjks_app_exam_time", "insert");
    for (int i = 0; i < 3; ++i) {
        elapse(5000);
        settle();
    }
    EXPECT_EQ(countOf(platform.boxes, kKeptTimeBox), 2);
}

// A failure found while the hand-in question is open waits for it: boxes never stack, and a failure
// that has passed before the learner could see it is not reported at all.
TEST_F(FullDiskTest, TheReportWaitsForTheOpenBoxAndLapsesWhenTheDiskRecoversFirst) {
    open();
    fillDiskFor("kjks_app_exam_time", "insert");
    platform.confirmAnswers = {false, false};
    platform.whileOpen = [&](const Box &box) {
        if (box.kind != Kind::Confirm) return;
        elapse(5000);
        settle();
    };
    clickWidget(w().handInArea);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return platform.boxes.size() == 2; }, 5000));
    EXPECT_TRUE(platform.boxes[1].text.startsWith(kKeptTimeBox));
    for (const Box &box : platform.boxes)
        EXPECT_EQ(box.openBelow, 0) << box.text.toStdString();

    // Failing again, then kept again while the question is still open: nothing to report.
    freeDisk();
    elapse(5000);
    fillDiskFor("kjks_app_exam_time", "insert");
    platform.boxes.clear();
    platform.whileOpen = [&](const Box &box) {
        if (box.kind != Kind::Confirm) return;
        elapse(5000);
        settle();
        freeDisk();
        elapse(5000);
        settle();
    };
    clickWidget(w().handInArea);
    QTest::qWait(3 * 200); // longer than a waiting report takes to look again
    EXPECT_EQ(platform.boxes.size(), 1u) << platform.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(w().keptTimeStatus->text(), QStringLiteral("考试剩余时间已恢复保存。"));
}

// A learner's answer the bank cannot take: the box says that this answer was not saved and why, and
// the question shows again what the bank holds, so that screen, card and score agree. A mark alike.
TEST_F(FullDiskTest, AnAnswerTheBankCannotTakeIsSaidAndTheStoredOneIsShownAgain) {
    open();
    option(0); // question 1: A, stored
    next();
    next(); // question 3: the multiple choice
    option(0);
    option(3); // AD, stored
    fillDiskFor("shijuan", "update");
    platform.boxes.clear();
    option(1); // ABD: not stored
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].kind, Kind::Error);
    EXPECT_TRUE(platform.boxes[0].text.startsWith(QStringLiteral("本题的答案没有保存。")))
        << platform.boxes[0].text.toStdString();
    EXPECT_TRUE(platform.boxes[0].text.contains(QStringLiteral("磁盘空间不足")));
    settle();
    EXPECT_EQ(item(3, QStringLiteral("KSDA")), QStringLiteral("AD"));
    EXPECT_EQ(w().view().answer(), QStringLiteral("AD"));
    EXPECT_EQ(w().card().state(2), State::Done);
    platform.boxes.clear();
    mark(); // a mark neither
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(platform.boxes[0].text.startsWith(QStringLiteral("本题的标记没有保存。")));
    EXPECT_FALSE(w().markBox->isChecked());
    EXPECT_EQ(w().card().state(2), State::Done);

    // A first answer that cannot be stored leaves the question unanswered on screen and on the card.
    next();
    platform.boxes.clear();
    option(0);
    ASSERT_EQ(platform.boxes.size(), 1u);
    settle();
    EXPECT_EQ(item(4, QStringLiteral("KSDA")), QString());
    EXPECT_EQ(w().view().answer(), QString());
    EXPECT_NE(w().card().state(3), State::Done);

    freeDisk();
    option(1);
    EXPECT_EQ(item(4, QStringLiteral("KSDA")), QStringLiteral("×"));
    EXPECT_EQ(w().card().state(3), State::Done);
}

// The failure's box is opened outside the countdown's tick, so the tick keeps firing while the box
// is up and the time on screen goes on (a timer does not fire again while its own handler waits).
TEST_F(FullDiskTest, TheCountdownRunsOnWhileTheFailureBoxIsOpen) {
    open();
    fillDiskFor("kjks_app_exam_time", "insert");
    w().countdownTimer->setInterval(1);
    QStringList shownWhileOpen;
    platform.whileOpen = [&](const Box &) {
        platform.monotonic += 3000;
        if (QTest::qWaitFor([&] { return w().countdownLabel->text() == QStringLiteral("1:59:52"); }, 5000))
            shownWhileOpen << w().countdownLabel->text();
    };
    platform.monotonic += 5000;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !platform.boxes.empty(); }, 5000));
    EXPECT_TRUE(platform.boxes[0].text.startsWith(kKeptTimeBox));
    EXPECT_EQ(shownWhileOpen, QStringList{QStringLiteral("1:59:52")});
}
