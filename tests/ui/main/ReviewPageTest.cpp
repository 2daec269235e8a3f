#include "ReviewPage.h"
#include "DailyReviewPanel.h"
#include "ExamProfile.h"
#include "FixtureBank.h"
#include "Gbk.h"
#include "LaunchParameters.h"
#include "MainWindow.h"
#include "RecordingPlatform.h"
#include "ReviewListModel.h"
#include "ReviewStore.h"
#include "SqlDatabase.h"
#include "TestApp.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Clicks a radio button or check box on its indicator, where a learner clicks; the widget may be
// wider than its caption, and a click past the caption does nothing.
void clickChoice(QAbstractButton *button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

using Kind = ReviewPage::Kind;

class ReviewPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ResetProcessState();
    }

    // Opens the bank and builds the page as the main window does at first showing.
    std::unique_ptr<ReviewPage> start(Kind kind) {
        bank.open();
        bankSession()->LoadExamProfile(QStringLiteral("1"));
        auto page = std::make_unique<ReviewPage>(kind);
        page->resize(1013, 475);
        page->launchPractice = [this] { launches.push_back(launchParameters()); };
        page->ShowProfile();
        page->show();
        bank.statements.clear();
        return page;
    }

    static QStringList counts(const ReviewPage &page) {
        QStringList out;
        for (QLabel *l : page.countLabels)
            out << l->text();
        return out;
    }

    static QStringList row(const ReviewPage &page, int r) {
        QStringList out;
        const QAbstractItemModel *m = page.list->model();
        for (int c = 0; c < m->columnCount(); ++c)
            out << m->data(m->index(r, c)).toString();
        return out;
    }

    BankQuestion &question(int id, const QString &tixing, bool wrong, bool favourite,
                           const QString &daan = QStringLiteral("A")) {
        BankQuestion &q = bank.addQuestion(id, tixing, 1, 1, daan, 0);
        q.progress.DDCS = wrong ? QStringLiteral("1") : QStringLiteral("0");
        q.progress.shoucang = favourite ? QStringLiteral("1") : QStringLiteral("0");
        return q;
    }

    RecordingPlatform platform;
    FixtureBank bank;
    std::vector<LaunchParameters> launches;
};

TEST_F(ReviewPageTest, EnteringCountsEachTypeAndListsTheFlaggedQuestions) {
    // Wrong: 2 single, 1 multiple, 0 true/false, 1 operation question, 1 case stem.
    // Favourites: 1 single, 1 multiple, 1 true/false, 2 operation questions, 2 case stems.
    question(1, QStringLiteral("单选题"), true, false);
    question(2, QStringLiteral("单选题"), true, true);
    question(3, QStringLiteral("单选题"), false, false);
    question(4, QStringLiteral("多选题"), true, true, QStringLiteral("ABD"));
    question(5, QStringLiteral("判断题"), false, true, QStringLiteral("√"));
    question(6, QStringLiteral("实操题"), true, true, QStringLiteral("1234.5"));
    question(7, QStringLiteral("实操题"), false, true, QStringLiteral("6"));
    question(8, QStringLiteral("单选题"), true, true, QString()); // no answer: never counted or listed
    bank.addStem(9, 1, 1, 2).progress.DDCS = QStringLiteral("1");
    bank.addStem(10, 1, 1, 2).progress.shoucang = QStringLiteral("1");
    bank.addStem(11, 1, 1, 2).progress.shoucang = QStringLiteral("1");

    struct Case {
        Kind kind;
        QString fourthType;
        QStringList statements;
        QStringList counts;
        QList<int> listed;
        QString countGroup, listGroup, grid, button;
    };
    const QString wrongSingle = QStringLiteral(
        "select count(tigan_id) from kjks_tigan where daan <> \"\" and  tixing = \"%1\" and DDCS = \"1\"");
    const QString favSingle = QStringLiteral(
        "SELECT count(tigan_id) from  kjks_tigan  where daan <> \"\" and   shoucang = \"1\" and tixing = \"%1\"");
    const QString wrongStems = QStringLiteral("select count(ID) from zongtigan where daan <> \"\" and   DDCS = \"1\"");
    const QString favStems = QStringLiteral("select count(ID) from zongtigan where daan <> \"\" and  shoucang = \"1\"");
    const QString wrongOps = QStringLiteral(
        "select count(tigan_id) from kjks_tigan where daan <> \"\" and  tixing = \"实操题\" and DDCS = \"1\"");
    const QString favOps = QStringLiteral(
        "select count(tigan_id) from kjks_tigan where daan <> \"\" and  tixing = \"实操题\" and shoucang = \"1\"");
    const QString wrongList =
        QStringLiteral("select * from kjks_tigan where daan <> \"\" and DDCS = \"1\"  order by tigan_id asc");
    const QString favList =
        QStringLiteral("select * from kjks_tigan where daan <> \"\"  and shoucang = \"1\"  order by tigan_id asc");
    auto typed = [](const QString &pattern) {
        return QStringList{pattern.arg(QStringLiteral("单选题")), pattern.arg(QStringLiteral("多选题")),
                           pattern.arg(QStringLiteral("判断题"))};
    };
    const QList<int> wrongRows = {1, 2, 4, 6}, favRows = {2, 4, 5, 6, 7};
    const QString wrongTexts[4] = {QStringLiteral(" 错题范围  "), QStringLiteral("错题详细"), QStringLiteral("list"),
                                   QStringLiteral("进入错题强化")};
    const QString favTexts[4] = {QStringLiteral(" 收藏范围  "), QStringLiteral("收藏详细"), QStringLiteral("list"),
                                 QStringLiteral("进入收藏试题")};
    const Case cases[] = {
        {Kind::WrongQuestions,
         QStringLiteral("案例分析题"),
         typed(wrongSingle) << wrongStems << wrongList,
         {QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1")},
         wrongRows,
         wrongTexts[0],
         wrongTexts[1],
         wrongTexts[2],
         wrongTexts[3]},
        // The case questions of a "不定项选择题" profile are its stems too.
        {Kind::WrongQuestions,
         QStringLiteral("不定项选择题"),
         typed(wrongSingle) << wrongStems << wrongList,
         {QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1")},
         wrongRows,
         wrongTexts[0],
         wrongTexts[1],
         wrongTexts[2],
         wrongTexts[3]},
        {Kind::WrongQuestions,
         QStringLiteral("计算分析题"),
         typed(wrongSingle) << wrongOps << wrongList,
         {QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1")},
         wrongRows,
         wrongTexts[0],
         wrongTexts[1],
         wrongTexts[2],
         wrongTexts[3]},
        {Kind::Favourites,
         QStringLiteral("案例分析题"),
         typed(favSingle) << favStems << favList,
         {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("2")},
         favRows,
         favTexts[0],
         favTexts[1],
         favTexts[2],
         favTexts[3]},
        {Kind::Favourites,
         QStringLiteral("电算化操作题"),
         typed(favSingle) << favOps << favList,
         {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("2")},
         favRows,
         favTexts[0],
         favTexts[1],
         favTexts[2],
         favTexts[3]},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fourthType.toStdString() + (c.kind == Kind::WrongQuestions ? " wrong" : " favourites"));
        bank.model.profiles[0].columns[QStringLiteral("shicaotype")] = c.fourthType;
        auto page = start(c.kind);
        page->Enter();
        EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
        EXPECT_EQ(bank.statements, c.statements);
        EXPECT_EQ(counts(*page), c.counts);
        EXPECT_EQ(page->typeBoxes.box(3)->text(), c.fourthType);
        EXPECT_EQ(page->countGroup->title(), c.countGroup);
        EXPECT_EQ(page->listGroup->title(), c.listGroup);
        EXPECT_EQ(page->list->objectName(), c.grid);
        EXPECT_EQ(page->launchButton->text(), c.button);
        QList<int> listed;
        for (int r = 0; r < page->list->model()->rowCount(); ++r)
            listed << row(*page, r)[1].mid(2).toInt(); // "题目<id>"
        EXPECT_EQ(listed, c.listed);
    }
}

TEST_F(ReviewPageTest, ListShowsTypeQuestionPreviewAndAnswer) {
    const QString thirty = QString(30, QChar(u'账'));
    question(1, QStringLiteral("单选题"), true, false).timian = thirty;
    // 1 + 24 double-byte characters make 49 bytes; the 25th would be cut in half and is left out.
    question(2, QStringLiteral("多选题"), true, false, QStringLiteral("ABCD")).timian = QStringLiteral("A") + thirty;
    question(3, QStringLiteral("实操题"), true, false, QStringLiteral("借：银行存款 100")).timian =
        QStringLiteral("编制分录");
    question(4, QStringLiteral("判断题"), true, false, QString(60, QLatin1Char('x'))).timian = QString();
    question(5, QStringLiteral("单选题"), true, false).timian = QStringLiteral("无法解码");
    auto page = start(Kind::WrongQuestions);
    // A stored text that is not of the enciphered form.
    bank.exec(QStringLiteral("update kjks_tigan set timian = 'ABC' where tigan_id = 5"));
    page->Enter();

    ASSERT_EQ(page->list->model()->rowCount(), 5);
    // The last cell is "掌握": none of these was ever reviewed.
    EXPECT_EQ(row(*page, 0),
              QStringList({QStringLiteral("单选题"), QString(25, QChar(u'账')), QStringLiteral("A"), QString()}));
    EXPECT_EQ(row(*page, 1), QStringList({QStringLiteral("多选题"), QStringLiteral("A") + QString(24, QChar(u'账')),
                                          QStringLiteral("ABCD"), QString()}));
    EXPECT_EQ(row(*page, 2),
              QStringList({QStringLiteral("实操题"), QStringLiteral("编制分录"), QStringLiteral("略"), QString()}));
    EXPECT_EQ(row(*page, 3),
              QStringList({QStringLiteral("判断题"), QString(), QString(50, QLatin1Char('x')), QString()}));
    // The undecodable text shows an empty cell; no box is raised while the list is drawn.
    EXPECT_EQ(row(*page, 4), QStringList({QStringLiteral("单选题"), QString(), QStringLiteral("A"), QString()}));
    page->list->viewport()->repaint();
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
    // The whole question is in the tool tip.
    const QAbstractItemModel *m = page->list->model();
    EXPECT_EQ(m->data(m->index(0, 1), Qt::ToolTipRole).toString(), thirty);

    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("题型"));
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("题目"));
    EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("答案"));
    EXPECT_EQ(page->list->columnWidth(0), 62);
    EXPECT_EQ(page->list->columnWidth(1), 434);
    // For viewing only.
    EXPECT_EQ(page->list->editTriggers(), QAbstractItemView::NoEditTriggers);
    for (int c = 0; c < 3; ++c)
        EXPECT_FALSE(m->flags(m->index(0, c)) & Qt::ItemIsEditable);
}

TEST_F(ReviewPageTest, NothingFlaggedStillLaunchesTheDrill) {
    question(1, QStringLiteral("单选题"), false, false);
    for (Kind kind : {Kind::WrongQuestions, Kind::Favourites}) {
        auto page = start(kind);
        page->Enter();
        EXPECT_EQ(counts(*page), QStringList(4, QStringLiteral("0")));
        EXPECT_EQ(page->list->model()->rowCount(), 0);
        QTest::mouseClick(page->launchButton, Qt::LeftButton);
    }
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].PracticeScope, 2);
    EXPECT_EQ(launches[1].PracticeScope, 3);
}

TEST_F(ReviewPageTest, LaunchUsesThePagesBoxesAndTheChosenChapter) {
    question(1, QStringLiteral("单选题"), true, true);
    for (Kind kind : {Kind::WrongQuestions, Kind::Favourites}) {
        auto page = start(kind);
        page->Enter();
        launchParameters().SelectedChapterCode = QStringLiteral("101");
        launchParameters().PracticeScope = 4;
        // An unticked box keeps its count but keeps the type out of the practice.
        clickChoice(page->typeBoxes.box(0));
        clickChoice(page->typeBoxes.box(3));
        EXPECT_EQ(page->countLabels[0]->text(), QStringLiteral("1"));
        QTest::mouseClick(page->launchButton, Qt::LeftButton);
    }
    ASSERT_EQ(launches.size(), 2u);
    const int scopes[2] = {2, 3};
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(launches[i].PracticeScope, scopes[i]);
        EXPECT_EQ(launches[i].SelectedChapterCode, QStringLiteral("101"));
        EXPECT_EQ(launches[i].PracticeTypeFlags, (std::array<bool, 4>{{false, true, true, false}}));
    }
}

// Through the main window: practice changes the bank, the page shows it after the next entry.
TEST_F(ReviewPageTest, PagesAreRenewedOnlyWhenEnteredAgain) {
    question(1, QStringLiteral("单选题"), true, false);
    question(2, QStringLiteral("单选题"), false, false);
    bank.open();
    MainWindow form(bank.dir() + QStringLiteral("kjks"));
    form.show(); // the first showing builds the pages
    ReviewPage *wrong = form.wrongPage();
    EXPECT_EQ(wrong->typeBoxes.box(3)->text(), QStringLiteral("不定项选择题"));
    EXPECT_EQ(form.favouritesPage()->typeBoxes.box(3)->text(), QStringLiteral("不定项选择题"));
    wrong->launchPractice = [this] {
        bank.exec(QStringLiteral("update kjks_tigan set DDCS = '1' where tigan_id = 2"));
        launches.push_back(launchParameters());
    };
    form.navigate(5);
    EXPECT_EQ(form.currentPage(), wrong);
    EXPECT_EQ(wrong->countLabels[0]->text(), QStringLiteral("1"));
    EXPECT_EQ(wrong->list->model()->rowCount(), 1);
    QTest::mouseClick(wrong->launchButton, Qt::LeftButton);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(wrong->countLabels[0]->text(), QStringLiteral("1"));
    EXPECT_EQ(wrong->list->model()->rowCount(), 1);
    form.navigate(5);
    EXPECT_EQ(wrong->countLabels[0]->text(), QStringLiteral("2"));
    EXPECT_EQ(wrong->list->model()->rowCount(), 2);
    EXPECT_EQ(wrong->list->columnWidth(1), 434);
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
}

} // namespace

// The wrong-question page marks the questions whose review stability reached 30 days and can hide
// them; "开始复习" practises today's due questions of every type.
TEST_F(ReviewPageTest, MasteredQuestionsAreMarkedAndCanBeHiddenAndTheDueReviewsLaunch) {
    for (int id : {1, 2, 3})
        question(id, QStringLiteral("单选题"), true, false);
    auto page = start(Kind::WrongQuestions);
    SqlDatabase &db = bankSession()->db;
    EnsureReviewTables(db);
    bank.exec(
        QStringLiteral("insert into kjks_app_review_state values (0, 2, 5, 30, '', 2461000, 2461030, 1, '单选题'),"
                       " (0, 3, 5, 29.9, '', 2461000, 2461029, 1, '单选题')"));
    page->Enter();
    const QAbstractItemModel *m = page->list->model();
    ASSERT_EQ(m->rowCount(), 3);
    EXPECT_EQ(m->headerData(ReviewListModel::MasteryColumn, Qt::Horizontal).toString(), QStringLiteral("掌握"));
    QStringList marks;
    for (int r = 0; r < 3; ++r)
        marks << m->data(m->index(r, ReviewListModel::MasteryColumn)).toString();
    EXPECT_EQ(marks, (QStringList{QString(), QStringLiteral("已掌握"), QString()}));
    page->onlyUnmastered->setChecked(true);
    EXPECT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->data(m->index(1, ReviewListModel::MasteryColumn)).toString(), QString());
    page->onlyUnmastered->setChecked(false);
    EXPECT_EQ(m->rowCount(), 3);

    launchParameters().PracticeTypeFlags = {false, false, false, false};
    page->dailyReview->launchPractice = [this] { launches.push_back(launchParameters()); };
    page->dailyReview->startButton->click();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].PracticeScope, int(PracticeScope::DueReviews));
    EXPECT_EQ(launches[0].PracticeTypeFlags, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_TRUE(platform.boxes.empty());
}
