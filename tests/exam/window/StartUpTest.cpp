#include "ExamWindowFixture.h"

TEST_F(ExamWindowTest, StartShowsQuestionOneOfANewPaperWithItsCard) {
    open();
    EXPECT_EQ(w().windowTitle(), QStringLiteral("初级会计职称无纸化考试模拟系统"));
    EXPECT_EQ(key(), QStringLiteral("1"));
    EXPECT_EQ(bank.scalar(QStringLiteral("select count(*) from shijuan where sjID = 1")).toInt(), 9);
    // Card: one cell per position, named and numbered, question 1 current, the rest not visited.
    ASSERT_EQ(w().card().size(), 9);
    EXPECT_EQ(w().findChild<QLabel *>(QStringLiteral("cellLabel8"))->text(), QStringLiteral("9"));
    EXPECT_NE(w().findChild<ShapeControl *>(QStringLiteral("cellSquare0")), nullptr);
    EXPECT_EQ(w().card().state(0), State::Current);
    for (int p = 1; p < 9; ++p)
        EXPECT_EQ(w().card().state(p), State::NotVisited) << p;
    // Question 1: single choice on the choice page, numbered, with radio buttons.
    EXPECT_EQ(w().view().currentIndex(), 0);
    EXPECT_TRUE(w().view().stemBox->toPlainText().startsWith(QStringLiteral("1、题目")));
    ASSERT_EQ(w().optionButtons().size(), 4u);
    EXPECT_TRUE(w().optionButtons()[0]->text().startsWith(QStringLiteral("A、选项")));
    EXPECT_TRUE(w().optionButtons()[0]->autoExclusive());
    // Before hand-in: no score panel, no explanation button, time label empty until the first tick.
    EXPECT_FALSE(w().scorePanel->isVisible());
    EXPECT_FALSE(w().explanationButton->isVisible());
    EXPECT_TRUE(w().countdownLabel->text().isEmpty());
    EXPECT_EQ(w().state(), ExamWindow::ExamState::Answering);
    // The two gradient shapes and the fourth header.
    EXPECT_EQ(w().cardGradient->SurfaceType(), ShapeControl::stGradientFill);
    EXPECT_EQ(w().cardGradient->FillDirection(), ShapeControl::gdDown);
    EXPECT_EQ(w().hiddenGradient->OutlineStyle(), ShapeControl::psClear);
}

TEST_F(ExamWindowTest, ExamTimeFollowsTheSubjectTitle) {
    const struct {
        const char16_t *title;
        int seconds;
        const char16_t *afterOneTick;
    } cases[] = {{u"初级会计实务考试系统", 7200, u"1:59:59"}, {u"经济法基础", 5400, u"1:29:59"}};
    openBank();
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.title).toStdString());
        bank.exec(QStringLiteral("update sys_option set option_value = '%1' where option_name = 'APP_TITLE'")
                      .arg(QString::fromUtf16(c.title)));
        launchParameters().PaperKey = QStringLiteral("0");
        open();
        EXPECT_EQ(launchParameters().ExamTimeSeconds, c.seconds);
        EXPECT_EQ(w().subjectTitleLabel->text(), QString::fromUtf16(c.title));
        elapse(1000);
        EXPECT_EQ(w().countdownLabel->text(), QString::fromUtf16(c.afterOneTick));
    }
}

TEST_F(ExamWindowTest, ABankTooSmallForAPaperSaysSoAndOpensNoWindow) {
    bank.addQuestion(11, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")); // two singles needed
    for (int id : {21, 22})
        bank.addQuestion(id, QStringLiteral("多选题"), 1, 1, QStringLiteral("AD"));
    open();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].kind, RecordingPlatform::BoxKind::Error);
    EXPECT_TRUE(platform.boxes[0].text.contains(QStringLiteral("单选题"))) << platform.boxes[0].text.toStdString();
    QCoreApplication::processEvents();
    EXPECT_FALSE(w().isVisible()); // closed without asking to hand in
    EXPECT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(bank.scalar(QStringLiteral("select count(*) from kjks_SJML")).toInt(), 0);
}
