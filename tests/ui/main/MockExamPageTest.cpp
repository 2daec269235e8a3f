#include "MockExamPage.h"
#include "ClickableLabel.h"
#include "ExamProfile.h"
#include "ExamWindow.h"
#include "FixtureBank.h"
#include "LaunchParameters.h"
#include "RecordingPlatform.h"
#include "ResultDialog.h"
#include "TestApp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using Opening = ExamWindow::Opening;

struct Launch {
    Opening opening;
    QString paperKey, drawMode, setValue;
};

class MockExamPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ResetProcessState();
    }

    // Papers 11 and 12 answered before (listed as 1 and 2), 13 withdrawn.
    void addPapers() {
        for (int id : {11, 12, 13}) {
            BankPaper p;
            p.sjID = id;
            p.DTKSSJ = QStringLiteral("2026-05-0%1 09:00:00").arg(id - 10);
            p.JJSJ = QStringLiteral("2026-05-0%1 10:30:00").arg(id - 10);
            p.scores[QStringLiteral("DEFEN")] = 50 + id;
            p.flag_state = id == 13 ? 1 : 0;
            bank.model.papers.push_back(p);
        }
    }

    MockExamPage &start(bool recordLaunches = true) {
        {
            BankSession &form = bank.open();
            form.LoadExamProfile(QStringLiteral("1"));
            form.LoadExamOptions();
        }
        launchParameters().AppDir = bank.dir();
        page = std::make_unique<MockExamPage>();
        page->resize(1013, 475);
        if (recordLaunches)
            page->launchExam = [this](Opening opening) {
                const LaunchParameters &l = launchParameters();
                launches.push_back({opening, l.PaperKey, l.PaperDrawMode, l.PaperSetValue});
                if (duringExam) duringExam();
            };
        page->ShowProfile(QStringLiteral("初级会计实务考试系统"));
        page->OpenPaperList();
        page->show();
        return *page;
    }

    void clickCell(int row, int column) {
        QTableWidget *grid = page->paperList;
        const QRect r = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    }
    QStringList column(int c) const {
        QStringList out;
        for (int r = 0; r < page->paperList->rowCount(); ++r)
            out << page->paperList->item(r, c)->text();
        return out;
    }

    RecordingPlatform platform;
    FixtureBank bank;
    std::unique_ptr<MockExamPage> page;
    std::vector<Launch> launches;
    std::function<void()> duringExam;
};

} // namespace

TEST_F(MockExamPageTest, EnterStartsANewPaperAndListsItAfterwards) {
    addPapers();
    start();
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    duringExam = [this] {
        bank.exec(QStringLiteral("insert into kjks_SJML (sjID, DTKSSJ, JJSJ, DEFEN) values "
                                 "(14, '2026-05-09 09:00:00', '2026-05-09 10:00:00', 88)"));
    };
    QTest::mouseClick(page->enterButton, Qt::LeftButton);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].opening, Opening::FromLaunch);
    EXPECT_EQ(launches[0].paperKey, QStringLiteral("0"));
    EXPECT_EQ(launches[0].drawMode, QStringLiteral("shijuan"));
    EXPECT_EQ(launches[0].setValue, QStringLiteral("随机"));
    // Numbered in the order papers were made, whatever their stored ids.
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(column(2).last(), QStringLiteral("88"));
}

TEST_F(MockExamPageTest, ViewAndRedoOpenTheChosenPaperTheirWay) {
    addPapers();
    start();
    clickCell(1, 0); // the number column: nothing chosen
    EXPECT_FALSE(page->viewButton->isEnabled());
    clickCell(1, 2);
    EXPECT_TRUE(page->viewButton->isEnabled());
    EXPECT_TRUE(page->redoButton->isEnabled());
    // What the window changed shows at once: here a new score for the viewed paper.
    duringExam = [this] { bank.exec(QStringLiteral("update kjks_SJML set DEFEN = 99 where sjID = 12")); };
    QTest::mouseClick(page->viewButton, Qt::LeftButton);
    EXPECT_EQ(column(2).at(1), QStringLiteral("99"));
    clickCell(0, 1);
    clickCell(0, 0); // back to the number column: disabled again
    EXPECT_FALSE(page->redoButton->isEnabled());
    clickCell(0, 1);
    // A redo that ends without a hand-in: started again after its last hand-in.
    duringExam = [this] {
        bank.exec(QStringLiteral("update kjks_SJML set DTKSSJ = '2026-06-01 09:00:00' where sjID = 11"));
    };
    QTest::mouseClick(page->redoButton, Qt::LeftButton);
    EXPECT_EQ(column(2).at(0), QStringLiteral("未交卷，点“查看”继续"));
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].opening, Opening::View);
    EXPECT_EQ(launches[0].paperKey, QStringLiteral("12"));
    EXPECT_EQ(launches[1].opening, Opening::FromLaunch);
    EXPECT_EQ(launches[1].paperKey, QStringLiteral("11"));
}

TEST_F(MockExamPageTest, AnEmptyListOpensNothing) {
    start();
    page->choosePaper(0, 1);
    ASSERT_TRUE(page->viewButton->isEnabled());
    QTest::mouseClick(page->viewButton, Qt::LeftButton);
    QTest::mouseClick(page->redoButton, Qt::LeftButton);
    EXPECT_TRUE(launches.empty());
}

// The whole road: "进入考场", one answer, hand-in, close; the page lists the paper with its score.
TEST_F(MockExamPageTest, AMockExamFromThePageToItsScoreInTheList) {
    bank.addQuestion(11, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.addQuestion(12, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.addQuestion(13, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    for (int id : {21, 22})
        bank.addQuestion(id, QStringLiteral("多选题"), 1, 1, QStringLiteral("AD"));
    for (int id : {31, 32})
        bank.addQuestion(id, QStringLiteral("判断题"), 1, 2, QStringLiteral("×"), 0);
    bank.addStem(7, 1, 2);
    bank.addStem(8, 1, 2);
    start(false);
    auto openExam = [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *exam = qobject_cast<ExamWindow *>(w); exam && exam->isVisible()) return exam;
        return static_cast<ExamWindow *>(nullptr);
    };
    bool sat = false;
    QTimer::singleShot(0, [&] {
        ExamWindow *exam = openExam();
        if (!exam || !exam->answering()) return;                        // the guard below ends the exam
        QTest::mouseClick(exam->optionButtons().at(0), Qt::LeftButton); // question 1: A, right
        QTest::mouseClick(exam->handInArea, Qt::LeftButton);            // hand in
        if (resultDialog()) resultDialog()->close();
        exam->close();
        sat = true;
    });
    // An exam this test cannot drive is ended after a few seconds: the test fails instead of
    // waiting for ever on the modal window.
    bool stuck = false;
    QTimer guard; // on the stack: it cannot fire into a later test
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (ExamWindow *exam = openExam()) {
            stuck = true;
            exam->done(QDialog::Rejected);
        }
    });
    guard.start(5000);
    QTest::mouseClick(page->enterButton, Qt::LeftButton);
    EXPECT_FALSE(stuck);
    EXPECT_TRUE(sat);
    ASSERT_EQ(page->paperList->rowCount(), 1);
    EXPECT_EQ(column(2), QStringList{QStringLiteral("2")});
}

TEST_F(MockExamPageTest, TheDescriptionStatesTheBanksExamTime) {
    start();
    EXPECT_EQ(page->examTimeLabel->text(), QStringLiteral("120分钟")); // no option: by the title
    page->ShowProfile(QStringLiteral("经济法基础"));
    EXPECT_EQ(page->examTimeLabel->text(), QStringLiteral("90分钟"));
    examProfile().examMinutes = 105; // as LoadExamOptions reads EXAM_MINUTES
    page->ShowProfile(QStringLiteral("初级会计实务考试系统"));
    EXPECT_EQ(page->examTimeLabel->text(), QStringLiteral("105分钟"));
}

// A bank without some of the exam's sections: the description lists the sections the paper has,
// with their share of the time.
TEST_F(MockExamPageTest, TheDescriptionListsTheSectionsThePaperHas) {
    start();
    ExamProfile &p = examProfile();
    for (QuestionType type : {QuestionType::Multiple, QuestionType::Fourth}) {
        p.section(type).count = 0;
        p.section(type).countText = QStringLiteral("0");
        p.section(type).pointsText = QStringLiteral("0");
    }
    page->ShowProfile(QStringLiteral("初级会计实务考试系统"));
    QStringList shown;
    for (int r = 0; r < page->contentTable->rowCount(); ++r)
        if (!page->contentTable->isRowHidden(r))
            shown << page->contentTable->item(r, 0)->text() + page->contentTable->item(r, 1)->text() +
                         page->contentTable->item(r, 2)->text();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("单选题2题4分"), QStringLiteral("判断题1题1分")}));
    EXPECT_EQ(page->examTimeLabel->text(), QStringLiteral("6分钟")); // 5 of 100 points of 120 minutes
    EXPECT_EQ(page->totalPointsLabel->text(), QStringLiteral("5分"));
    EXPECT_EQ(page->paperPointsLabel->text(), QStringLiteral("5分"));
}
