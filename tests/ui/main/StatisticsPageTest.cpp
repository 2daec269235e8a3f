#include "StatisticsPage.h"
#include "ExamProfile.h"
#include "FixtureBank.h"
#include "HomePage.h"
#include "LaunchParameters.h"
#include "MainWindow.h"
#include "NavButton.h"
#include "RecordingPlatform.h"
#include "TestApp.h"

#include <QBarCategoryAxis>
#include <QChartView>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class StatisticsPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ResetProcessState();
    }

    std::unique_ptr<MainWindow> start() {
        bank.open();
        auto form = std::make_unique<MainWindow>(bank.dir() + QStringLiteral("kjks"));
        form->showFirstTime();
        form->statisticsPage()->launchPractice = [this] {
            launches.push_back(launchParameters());
            if (duringPractice) duringPractice();
        };
        return form;
    }

    void question(int id, int jie, int attempts, int correct, bool wrong) {
        BankQuestion &q = bank.addQuestion(id, QStringLiteral("单选题"), 1, jie, QStringLiteral("A"), 0);
        q.progress = {QStringLiteral("1"), wrong ? QStringLiteral("1") : QStringLiteral("0"), QStringLiteral("0"),
                      correct, attempts};
    }

    static QStringList row(const QTableWidget *t, int r) {
        QStringList out;
        for (int c = 0; c < t->columnCount(); ++c)
            out << (t->item(r, c) ? t->item(r, c)->text() : QString());
        return out;
    }

    static bool captionIsRed(MainWindow &form, int number) {
        return form.navButton(number)->captionLabel()->styleSheet().contains(QStringLiteral("red"));
    }

    RecordingPlatform platform;
    FixtureBank bank;
    std::vector<LaunchParameters> launches;
    std::function<void()> duringPractice;
};

TEST_F(StatisticsPageTest, HomeButtonsGoWhereTheySay) {
    auto form = start();
    struct Step {
        QPushButton *button;
        int page;
        int highlighted;
    } steps[] = {{form->homePage->chapterPracticeButton(), MainWindow::ChapterPageIndex, 3},
                 {form->homePage->mockExamButton(), MainWindow::MockExamPageIndex, 4},
                 {form->homePage->statisticsButton(), MainWindow::StatisticsPageIndex, 1}};
    for (const Step &s : steps) {
        QTest::mouseClick(form->navButton(1), Qt::LeftButton);
        launchParameters().PracticeScope = 4;
        QTest::mouseClick(s.button, Qt::LeftButton);
        EXPECT_EQ(form->pages->currentIndex(), s.page) << s.highlighted;
        for (int n = 1; n <= 6; ++n)
            EXPECT_EQ(captionIsRed(*form, n), n == s.highlighted) << s.highlighted;
    }
    // "章节练习" does what entry 3 does: the scope is 0 again.
    QTest::mouseClick(form->homePage->chapterPracticeButton(), Qt::LeftButton);
    EXPECT_EQ(launchParameters().PracticeScope, 0);
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
}

TEST_F(StatisticsPageTest, ShowsEveryFigureBesideItsChartAndRefreshesWhenShown) {
    question(1, 1, 10, 9, false);
    question(2, 2, 12, 3, true);
    bank.model.papers.push_back({11,
                                 QStringLiteral("2026-12-01 09:00:00"),
                                 QStringLiteral("2026-12-01 10:30:00"),
                                 {{QStringLiteral("DEFEN"), 12}, {QStringLiteral("DanDeFen"), 4}},
                                 0});
    bank.model.papers.push_back({12, QStringLiteral("2026-12-02 09:00:00"), QString(), {}, 0});
    auto form = start();
    QTest::mouseClick(form->homePage->statisticsButton(), Qt::LeftButton);
    StatisticsPage &page = *form->statisticsPage();

    EXPECT_EQ(page.lblOverview->text(),
              QStringLiteral("可练习的题目共 2 道\n已练习 2 道（100.0%）\n\n累计作答 22 次\n答对 12 次，正确率 "
                             "54.5%\n\n当前错题 1 道，收藏 0 道"));
    EXPECT_EQ(row(page.tblTypes, 0), QStringList({QStringLiteral("单选题"), QStringLiteral("2"), QStringLiteral("2"),
                                                  QStringLiteral("100.0%"), QStringLiteral("22"), QStringLiteral("12"),
                                                  QStringLiteral("54.5%"), QStringLiteral("1"), QStringLiteral("0")}));
    EXPECT_EQ(row(page.tblTypes, 1)[6], QStringLiteral("—")); // never attempted
    EXPECT_EQ(row(page.tblTypes, 4)[0], QStringLiteral("合计"));
    EXPECT_EQ(row(page.tblChapters, 0),
              QStringList({QStringLiteral("第一章 会计概述"), QStringLiteral("2"), QStringLiteral("100.0%"),
                           QStringLiteral("54.5%"), QStringLiteral("22")}));
    // The weaker section first.
    EXPECT_EQ(
        row(page.tblSections, 0).mid(0, 7),
        QStringList({QStringLiteral("第一章 会计概述"), QStringLiteral("第二节 会计基本假设"), QStringLiteral("1"),
                     QStringLiteral("100.0%"), QStringLiteral("12"), QStringLiteral("25.0%"), QStringLiteral("1")}));
    EXPECT_EQ(page.lblExamSummary->text(), QStringLiteral("已交卷 1 份（另有 1 份未交卷）；及格线 10.2 分（试卷总分 17 "
                                                          "分的 60%）；最近一次 12 分，达到及格线。"));
    EXPECT_EQ(row(page.tblExams, 0), QStringList({QStringLiteral("1"), QStringLiteral("2026-12-01 10:30"),
                                                  QStringLiteral("1:30:00"), QStringLiteral("12"), QStringLiteral("4"),
                                                  QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}));
    EXPECT_FALSE(page.chartExams->isHidden());
    EXPECT_TRUE(page.lblNoExams->isHidden());

    // Practice elsewhere, then the page is shown again: the new figures.
    bank.exec(QStringLiteral("update kjks_tigan set ZONGCS = 20, ZQCS = 20 where tigan_id = 2"));
    QTest::mouseClick(form->navButton(1), Qt::LeftButton);
    QTest::mouseClick(form->homePage->statisticsButton(), Qt::LeftButton);
    EXPECT_EQ(row(page.tblTypes, 0)[4], QStringLiteral("30"));
    EXPECT_EQ(row(page.tblSections, 0)[1], QStringLiteral("第一节 会计概念"));
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
}

TEST_F(StatisticsPageTest, ExamResultsOfAPaperOfSingleChoiceOnlyShowThatSection) {
    question(1, 1, 1, 1, false);
    for (const char *column : {"duoxuanti", "duoxuanfen", "panduanti", "panduanfen", "shicaoti", "shicaofen"})
        bank.model.profiles[0].columns[QString::fromLatin1(column)] = QStringLiteral("0");
    bank.model.papers.push_back({11,
                                 QStringLiteral("2026-12-01 09:00:00"),
                                 QStringLiteral("2026-12-01 09:05:00"),
                                 {{QStringLiteral("DEFEN"), 2}, {QStringLiteral("DanDeFen"), 2}},
                                 0});
    auto form = start();
    form->showStatistics();
    StatisticsPage &page = *form->statisticsPage();
    EXPECT_TRUE(page.lblExamSummary->text().contains(QStringLiteral("及格线 2.4 分（试卷总分 4 分的 60%）")))
        << page.lblExamSummary->text().toStdString();
    QStringList headings;
    for (int c = 0; c < page.tblExams->columnCount(); ++c)
        headings << page.tblExams->horizontalHeaderItem(c)->text();
    EXPECT_EQ(headings, (QStringList{QStringLiteral("试卷号"), QStringLiteral("交卷时间"), QStringLiteral("用时"),
                                     QStringLiteral("总分"), QStringLiteral("单选题")}));
    EXPECT_EQ(row(page.tblExams, 0),
              (QStringList{QStringLiteral("1"), QStringLiteral("2026-12-01 09:05"), QStringLiteral("0:05:00"),
                           QStringLiteral("2"), QStringLiteral("2")}));
    // The chart: the total, the one section and the pass line.
    EXPECT_EQ(page.chartExams->chart()->series().size(), 3);
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
}

TEST_F(StatisticsPageTest, WithoutPapersTheExamTabSaysSoInsteadOfAnEmptyChart) {
    auto form = start();
    form->showStatistics();
    StatisticsPage &page = *form->statisticsPage();
    EXPECT_TRUE(page.chartExams->isHidden());
    EXPECT_FALSE(page.lblNoExams->isHidden());
    EXPECT_EQ(page.tblExams->rowCount(), 0);
    EXPECT_EQ(page.lblExamSummary->text(), QStringLiteral("已交卷 0 份；及格线 10.2 分（试卷总分 17 分的 60%）。"));
    EXPECT_EQ(page.tblSections->rowCount(), 0);
}

TEST_F(StatisticsPageTest, ASectionIsPractisedInOneClickThroughTheUsualLaunchAndTheChapterChoicesAreGivenBack) {
    question(1, 1, 10, 9, false);
    question(2, 2, 12, 3, true);
    bank.addQuestion(3, QStringLiteral("判断题"), 1, 2, QStringLiteral("√"), 0);
    auto form = start();
    form->showStatistics();
    StatisticsPage &page = *form->statisticsPage();
    launchParameters().PracticeScope = 3;
    launchParameters().SelectedChapterCode = QStringLiteral("101");
    launchParameters().PracticeTypeFlags = {{false, true, false, false}};

    // Row 0: 第二节, the weakest, with a wrong question; row 1: 第一节, none wrong.
    EXPECT_FALSE(page.practiseButton(1, 2)->isEnabled());
    EXPECT_TRUE(page.practiseButton(1, 0)->isEnabled());
    ASSERT_TRUE(page.practiseButton(0, 2)->isEnabled());

    // The practice answers the wrong question right; the page shows it when the window closes.
    duringPractice = [&] {
        bank.exec(QStringLiteral("update kjks_tigan set DDCS = '0', ZONGCS = 13, ZQCS = 4 where tigan_id = 2"));
    };
    QTest::mouseClick(page.practiseButton(0, 2), Qt::LeftButton);
    EXPECT_EQ(row(page.tblSections, 0)[4], QStringLiteral("13"));
    EXPECT_FALSE(page.practiseButton(0, 2)->isEnabled());
    QTest::mouseClick(page.practiseButton(0, 0), Qt::LeftButton);
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].PracticeScope, 2);
    EXPECT_EQ(launches[1].PracticeScope, 0);
    for (const LaunchParameters &lp : launches)
        EXPECT_EQ(lp.SelectedChapterCode, QStringLiteral("10102"));
    // Only the types the section holds such questions of: its wrong single question; its single
    // and true/false questions.
    EXPECT_EQ(launches[0].PracticeTypeFlags, (std::array<bool, 4>{{true, false, false, false}}));
    EXPECT_EQ(launches[1].PracticeTypeFlags, (std::array<bool, 4>{{true, false, true, false}}));
    EXPECT_EQ(launchParameters().PracticeScope, 3);
    EXPECT_EQ(launchParameters().SelectedChapterCode, QStringLiteral("101"));
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
}

TEST_F(StatisticsPageTest, BankTextsReachTheChartsEscapedBecauseChartsDrawMarkup) {
    bank.model.profiles[0].columns[QStringLiteral("shicaotype")] = QStringLiteral("<b>计算</b>分析题");
    bank.model.papers.push_back({11,
                                 QStringLiteral("2026-12-01 09:00:00"),
                                 QStringLiteral("2026-12-01 10:30:00"),
                                 {{QStringLiteral("DEFEN"), 12}},
                                 0});
    auto form = start();
    form->showStatistics();
    StatisticsPage &page = *form->statisticsPage();
    const QString escaped = QStringLiteral("&lt;b&gt;计算&lt;/b&gt;分析题");
    auto *axis = qobject_cast<QBarCategoryAxis *>(page.chartTypes->chart()->axes(Qt::Horizontal).value(0));
    ASSERT_TRUE(axis);
    EXPECT_EQ(axis->categories().value(3), escaped);
    QStringList names;
    for (QAbstractSeries *s : page.chartExams->chart()->series())
        names << s->name();
    EXPECT_TRUE(names.contains(escaped)) << qPrintable(names.join(QLatin1Char('|')));
    // Tables show it as it is.
    EXPECT_EQ(page.tblTypes->item(3, 0)->text(), QStringLiteral("<b>计算</b>分析题"));
    EXPECT_EQ(page.tblExams->horizontalHeaderItem(7)->text(), QStringLiteral("<b>计算</b>分析题"));
}

} // namespace
