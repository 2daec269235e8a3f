#include "ChapterPracticePage.h"
#include "ExamProfile.h"
#include "FixtureBank.h"
#include "LaunchParameters.h"
#include "MainWindow.h"
#include "RecordingPlatform.h"
#include "ReviewPage.h"
#include "SqlError.h"
#include "TestApp.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// Clicks a radio button or check box on its indicator, where a learner clicks; the widget may be
// wider than its caption, and a click past the caption does nothing.
void clickChoice(QAbstractButton *button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

// The statements of one progress text: the questions of the practised types, then (where practice
// offers cases) the case stems; first all, then the unanswered, each with the chapter filter.
QStringList progressStatements(const QString &filter = QString(), bool stems = true) {
    const QString types = stems ? QStringLiteral("(\"单选题\", \"多选题\", \"判断题\")")
                                : QStringLiteral("(\"单选题\", \"多选题\", \"判断题\", \"实操题\")");
    const QString sums = QStringLiteral("select coalesce(sum(questions), 0) as total, coalesce(sum(case when YDCS = "
                                        "\"0\" then questions else 0 end), 0) as remaining from ");
    QStringList out{sums + QStringLiteral("kjks_app_progress_counts where tixing in ") + types + filter};
    if (stems)
        out << sums + QStringLiteral("kjks_app_stem_progress_counts") +
                   (filter.isEmpty() ? QString() : QStringLiteral(" where") + filter.mid(4));
    return out;
}

class ChapterPracticePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ResetProcessState();
    }

    // Opens the bank and shows the page as the main window's first showing does.
    void start() {
        bank.open();
        bankSession()->LoadExamProfile(QStringLiteral("1"));
        page = std::make_unique<ChapterPracticePage>();
        page->resize(1013, 475);
        page->launchPractice = [this] {
            launches.push_back(launchParameters());
            if (duringPractice) duringPractice();
        };
        page->ShowProfile();
        bank.statements.clear();
        page->BuildChapterTree(ReadChapterTree(bankSession()->listQuery));
        page->show();
    }

    QTreeWidgetItem *node(int code) {
        for (QTreeWidgetItemIterator it(page->chapterTree); *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toInt() == code) return *it;
        return nullptr;
    }

    void clickNode(int code) {
        QTreeWidgetItem *item = node(code);
        ASSERT_NE(item, nullptr) << code;
        const QRect r = page->chapterTree->visualItemRect(item);
        ASSERT_TRUE(r.isValid()) << code;
        QTest::mouseClick(page->chapterTree->viewport(), Qt::LeftButton, {}, r.center());
    }

    // `count` answerable questions in a section, the first `done` of them answered before.
    void addQuestions(int firstId, int zhang, int jie, int count, int done) {
        for (int i = 0; i < count; ++i) {
            BankQuestion &q =
                bank.addQuestion(firstId + i, QStringLiteral("单选题"), zhang, jie, QStringLiteral("A"), 0);
            if (i < done) q.progress.YDCS = QStringLiteral("1");
        }
    }

    RecordingPlatform platform;
    FixtureBank bank;
    std::unique_ptr<ChapterPracticePage> page;
    std::vector<LaunchParameters> launches;
    std::function<void()> duringPractice;
};

TEST_F(ChapterPracticePageTest, FirstShowingBuildsTheExpandedTreeAndCountsTheWholeBank) {
    // 297 answerable questions, 12 answered, and a case of 3 sub-questions: the case counts once, by
    // its stem, as practice answers it; a question without an answer is not counted.
    addQuestions(1, 1, 1, 297, 12);
    bank.addStem(9, 1, 2, 3);
    bank.addQuestion(500, QStringLiteral("单选题"), 1, 1, QString(), 0);
    start();

    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
    EXPECT_EQ(page->subjectLabel->text(), QStringLiteral("初级会计实务"));
    EXPECT_EQ(page->chooseChapterLabel->text(), QStringLiteral("【选择章节】"));
    EXPECT_EQ(page->typeBoxes.box(3)->text(), QStringLiteral("不定项选择题"));
    EXPECT_EQ(page->chapterLabel->text(), QStringLiteral("初级会计实务"));
    EXPECT_EQ(page->sectionLabel->text(), QString());
    EXPECT_EQ(page->progressLabel->text(), QStringLiteral("已做 12题，还剩 286 题"));
    EXPECT_EQ(bank.statements,
              QStringList{QStringLiteral("select * from kjks_zhangjie order by daima asc ")} + progressStatements());

    QTreeWidget *tree = page->chapterTree;
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *subject = tree->topLevelItem(0);
    EXPECT_EQ(subject->data(0, Qt::UserRole).toInt(), 1);
    ASSERT_EQ(subject->childCount(), 1);
    QTreeWidgetItem *chapter = subject->child(0);
    EXPECT_EQ(chapter->text(0), QStringLiteral("第一章 会计概述"));
    EXPECT_EQ(chapter->data(0, Qt::UserRole).toInt(), 101);
    ASSERT_EQ(chapter->childCount(), 2);
    EXPECT_EQ(chapter->child(1)->text(0), QStringLiteral("第二节 会计基本假设"));
    EXPECT_EQ(chapter->child(1)->data(0, Qt::UserRole).toInt(), 10102);
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        EXPECT_TRUE(!(*it)->childCount() || (*it)->isExpanded()) << qPrintable((*it)->text(0));
    }
    // The type boxes start checked, the first scope is chosen.
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(page->typeBoxes.box(i)->isChecked()) << i;
    EXPECT_TRUE(page->scopeButtons[0]->isChecked());
}

TEST_F(ChapterPracticePageTest, ClickingANodeShowsItsNamesCountsAndChosenCode) {
    bank.model.chapters.push_back({QStringLiteral("0110"), QStringLiteral("第十章 政府会计")});
    bank.model.chapters.push_back({QStringLiteral("011003"), QStringLiteral("第三节 政府单位特定业务的会计核算")});
    addQuestions(1, 1, 1, 3, 1);   // chapter 1, section 1: 1 of 3 done
    addQuestions(10, 1, 2, 2, 2);  // chapter 1, section 2: 2 of 2 done
    addQuestions(20, 10, 3, 4, 1); // chapter 10, section 3: 1 of 4 done
    start();
    EXPECT_EQ(page->progressLabel->text(), QStringLiteral("已做 4题，还剩 5 题"));

    struct Case {
        int code;
        QString label3, label4, progress, chosen;
        QStringList statements;
    };
    const Case cases[] = {
        {101, QStringLiteral("第一章 会计概述"), QString(), QStringLiteral("已做 3题，还剩 2 题"),
         QStringLiteral("101"), progressStatements(QStringLiteral(" and zhang = 01"))},
        {10102, QStringLiteral("第一章 会计概述"), QStringLiteral("第二节 会计基本假设"),
         QStringLiteral("已做 2题，还剩 0 题"), QStringLiteral("10102"),
         progressStatements(QStringLiteral(" and zhang = 01 and jie = 02"))},
        {110, QStringLiteral("第十章 政府会计"), QString(), QStringLiteral("已做 1题，还剩 3 题"),
         QStringLiteral("110"), progressStatements(QStringLiteral(" and zhang = 10"))},
        {11003, QStringLiteral("第十章 政府会计"), QStringLiteral("第三节 政府单位特定业务的会计核算"),
         QStringLiteral("已做 1题，还剩 3 题"), QStringLiteral("11003"),
         progressStatements(QStringLiteral(" and zhang = 10 and jie = 03"))},
        {1, QStringLiteral("初级会计实务"), QString(), QStringLiteral("已做 4题，还剩 5 题"), QStringLiteral("1"),
         progressStatements()},
    };
    for (const Case &c : cases) {
        bank.statements.clear();
        clickNode(c.code);
        EXPECT_EQ(page->chapterLabel->text(), c.label3) << c.code;
        EXPECT_EQ(page->sectionLabel->text(), c.label4) << c.code;
        EXPECT_EQ(page->progressLabel->text(), c.progress) << c.code;
        EXPECT_EQ(launchParameters().SelectedChapterCode, c.chosen) << c.code;
        EXPECT_EQ(bank.statements, c.statements) << c.code;
    }
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));

    // Without a selected node a click changes nothing.
    page->chapterTree->setCurrentItem(nullptr);
    page->chapterTree->clearSelection();
    bank.statements.clear();
    page->chooseNode();
    EXPECT_TRUE(bank.statements.isEmpty());
    EXPECT_EQ(launchParameters().SelectedChapterCode, QStringLiteral("1"));
}

TEST_F(ChapterPracticePageTest, TreeFollowsTheRowsItIsGiven) {
    // No subject row: the chapter becomes a top-level node and its section its child; a code of
    // another length is left out.
    bank.model.chapters = {{QStringLiteral("0101"), QStringLiteral("第一章")},
                           {QStringLiteral("010101"), QStringLiteral("第一节")},
                           {QStringLiteral("01010"), QStringLiteral("五位代码")}};
    start();
    ASSERT_EQ(page->chapterTree->topLevelItemCount(), 1);
    QTreeWidgetItem *top = page->chapterTree->topLevelItem(0);
    EXPECT_EQ(top->text(0), QStringLiteral("第一章"));
    ASSERT_EQ(top->childCount(), 1);
    EXPECT_EQ(top->child(0)->data(0, Qt::UserRole).toInt(), 10101);
    EXPECT_EQ(page->chapterLabel->text(), QStringLiteral("第一章"));
}

TEST_F(ChapterPracticePageTest, UnusableChapterTablesFailWithAMessage) {
    struct Case {
        std::vector<BankChapter> chapters;
        QString message;
    } cases[] = {
        {{}, QStringLiteral("题库的章节目录（kjks_zhangjie）中没有章节")},
        {{{QStringLiteral("01"), QStringLiteral("科目")}, {QStringLiteral("01a1"), QStringLiteral("章")}},
         QStringLiteral("题库的章节目录中有无效的章节代码“01a1”（章节“章”）")},
        {{{QStringLiteral("01"), QStringLiteral("科目")}, {QStringLiteral("01\"1"), QStringLiteral("章")}},
         QStringLiteral("题库的章节目录中有无效的章节代码“01\"1”（章节“章”）")},
    };
    for (const Case &c : cases) {
        bank.model.chapters = c.chapters;
        bank.open();
        ChapterPracticePage p;
        try {
            p.BuildChapterTree(ReadChapterTree(bankSession()->listQuery));
            ADD_FAILURE() << "no failure for " << qPrintable(c.message);
        } catch (const KjksError &e) {
            EXPECT_TRUE(e.message().startsWith(c.message)) << qPrintable(e.message());
        }
        EXPECT_EQ(p.progressLabel->text(), QString());
    }
}

TEST_F(ChapterPracticePageTest, ScopeChoicesAndTypeBoxesReachThePracticeLaunch) {
    addQuestions(1, 1, 1, 3, 0);
    start();
    clickNode(10102);
    const int order[] = {2, 4, 1, 3};
    for (int scope : order) {
        clickChoice(page->scopeButtons[size_t(scope)]);
        EXPECT_EQ(launchParameters().PracticeScope, scope);
        EXPECT_TRUE(page->scopeButtons[size_t(scope)]->isChecked());
    }
    clickChoice(page->scopeButtons[0]);
    EXPECT_EQ(launchParameters().PracticeScope, 0);
    clickChoice(page->scopeButtons[2]);

    clickChoice(page->typeBoxes.box(1));
    // The practice window clears the flags of empty sets; the next launch reads the boxes again.
    duringPractice = [] { launchParameters().PracticeTypeFlags = {{false, false, false, false}}; };
    QTest::mouseClick(page->startButton, Qt::LeftButton);
    QTest::mouseClick(page->startButton, Qt::LeftButton);
    ASSERT_EQ(launches.size(), 2u);
    for (const LaunchParameters &lp : launches) {
        EXPECT_EQ(lp.PracticeScope, 2);
        EXPECT_EQ(lp.SelectedChapterCode, QStringLiteral("10102"));
        EXPECT_EQ(lp.PracticeTypeFlags, (std::array<bool, 4>{{true, false, true, true}}));
    }
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(ChapterPracticePageTest, ProgressIsRecountedWhenPracticeCloses) {
    addQuestions(1, 1, 1, 3, 0);
    start();
    clickNode(10101);
    EXPECT_EQ(page->progressLabel->text(), QStringLiteral("已做 0题，还剩 3 题"));
    duringPractice = [this] { bank.exec(QStringLiteral("update kjks_tigan set YDCS = '1' where tigan_id = 2")); };
    bank.statements.clear();
    QTest::mouseClick(page->startButton, Qt::LeftButton);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(page->progressLabel->text(), QStringLiteral("已做 1题，还剩 2 题"));
    EXPECT_EQ(bank.statements, progressStatements(QStringLiteral(" and zhang = 01 and jie = 01")))
        << "the node shown is counted again";
}

// Everything practised leaves nothing remaining: a case is done when its stem is, whatever its
// sub-questions say; without case practice (another fourth type) the operation type's questions
// count instead of the stems. Rows of no practised type never count.
TEST_F(ChapterPracticePageTest, RemainingReachesZeroWhenEverythingIsPractised) {
    struct Case {
        QString fourthType;
        QString progress;
        bool stems;
    } cases[] = {{QStringLiteral("不定项选择题"), QStringLiteral("已做 3题，还剩 0 题"), true},
                 {QStringLiteral("电算化操作题"), QStringLiteral("已做 3题，还剩 0 题"), false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fourthType.toStdString());
        FixtureBank fresh;
        fresh.model.profiles[0].columns[QStringLiteral("shicaotype")] = c.fourthType;
        for (int id : {1, 2})
            fresh.addQuestion(id, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"), 0).progress.YDCS =
                QStringLiteral("1");
        fresh.addStem(7, 1, 2, 3).progress.YDCS = QStringLiteral("1");
        // Rows of a type practice does not offer under this profile, and one of no practised type.
        fresh.addQuestion(3, QStringLiteral("实操题"), 1, 1, QStringLiteral("12345"), 0).progress.YDCS =
            c.stems ? QStringLiteral("0") : QStringLiteral("1");
        fresh.addQuestion(4, QStringLiteral("综合题"), 1, 1, QStringLiteral("A"), 0);
        fresh.open();
        bankSession()->LoadExamProfile(QStringLiteral("1"));
        ChapterPracticePage p;
        fresh.statements.clear();
        p.BuildChapterTree(ReadChapterTree(bankSession()->listQuery));
        EXPECT_EQ(p.progressLabel->text(), c.progress);
        EXPECT_EQ(fresh.statements.mid(1), progressStatements(QString(), c.stems));
    }
}

// Coming back to the page: nothing is chosen, and the tree and the labels say so with the whole
// subject's numbers, so what "开始练习" starts is what the page shows.
TEST_F(ChapterPracticePageTest, EnteringAgainShowsTheWholeSubjectAsChosen) {
    addQuestions(1, 1, 1, 3, 1);
    addQuestions(10, 1, 2, 2, 0);
    start();
    clickNode(10102);
    EXPECT_EQ(page->sectionLabel->text(), QStringLiteral("第二节 会计基本假设"));
    launchParameters().SelectedChapterCode.clear(); // as the main window does on entry
    page->Enter();
    EXPECT_EQ(page->chapterTree->selectedItems().size(), 0);
    EXPECT_EQ(page->chapterTree->currentItem(), nullptr);
    EXPECT_EQ(page->chapterLabel->text(), QStringLiteral("初级会计实务"));
    EXPECT_EQ(page->sectionLabel->text(), QString());
    EXPECT_EQ(page->progressLabel->text(), QStringLiteral("已做 1题，还剩 4 题"));
    QTest::mouseClick(page->startButton, Qt::LeftButton);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].SelectedChapterCode, QString());
    // The same node can be chosen again at once.
    clickNode(10102);
    EXPECT_EQ(launchParameters().SelectedChapterCode, QStringLiteral("10102"));
    EXPECT_EQ(page->sectionLabel->text(), QStringLiteral("第二节 会计基本假设"));
}

TEST_F(ChapterPracticePageTest, FailingLaunchShowsTheErrorAndKeepsThePage) {
    addQuestions(1, 1, 1, 1, 0);
    start();
    page->launchPractice = [] { throw KjksError(QStringLiteral("no such table: kjks_tigan")); };
    QTest::mouseClick(page->startButton, Qt::LeftButton);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].kind, PlatformServices::BoxKind::Error);
    EXPECT_EQ(platform.boxes[0].text,
              QStringLiteral("读写题库时出错，操作没有完成。\n详细信息：no such table: kjks_tigan"));
    EXPECT_TRUE(page->startButton->isEnabled());
}

// Through the main window: entering the page resets the scope to 0, and the choice shown follows.
TEST_F(ChapterPracticePageTest, EnteringThePageShowsTheResetScope) {
    addQuestions(1, 1, 1, 2, 1);
    bank.open();
    MainWindow form(bank.dir() + QStringLiteral("kjks"));
    form.show(); // the first showing builds the pages
    ChapterPracticePage *p = form.chapterPage();
    p->launchPractice = [this] { launches.push_back(launchParameters()); };
    EXPECT_EQ(p->progressLabel->text(), QStringLiteral("已做 1题，还剩 1 题"));
    EXPECT_EQ(p->typeBoxes.box(3)->text(), QStringLiteral("不定项选择题"));

    form.navigate(3);
    p->chapterTree->setCurrentItem(p->chapterTree->topLevelItem(0)->child(0));
    p->chooseNode();
    clickChoice(p->scopeButtons[3]);
    ASSERT_EQ(launchParameters().PracticeScope, 3);
    form.navigate(6);
    form.navigate(3);
    EXPECT_EQ(form.currentPage(), p);
    EXPECT_EQ(launchParameters().PracticeScope, 0);
    EXPECT_TRUE(launchParameters().SelectedChapterCode.isEmpty());
    EXPECT_TRUE(p->scopeButtons[0]->isChecked());
    // The tree and the labels show that no chapter is chosen.
    EXPECT_EQ(p->chapterTree->currentItem(), nullptr);
    EXPECT_EQ(p->chapterLabel->text(), QStringLiteral("初级会计实务"));
    QTest::mouseClick(p->startButton, Qt::LeftButton);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].PracticeScope, 0);
    EXPECT_EQ(launches[0].SelectedChapterCode, QString());
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
}

// Chinese captions must be whole and apart at the design size: every caption fits its control,
// and no two controls of one parent overlap. Checked on all three pages with long texts.
TEST_F(ChapterPracticePageTest, PagesShowTheirTextsWholeAndApart) {
    bank.model.profiles[0].columns[QStringLiteral("shicaotype")] = QStringLiteral("电算化操作题");
    bank.model.chapters.push_back({QStringLiteral("0106"), QStringLiteral("第六章 财务报告")});
    bank.model.chapters.push_back(
        {QStringLiteral("010606"), QStringLiteral("第六节 财务报表附注及财务报告信息披露要求")});
    addQuestions(1, 6, 6, 1200, 345);
    bank.open();
    MainWindow form(bank.dir() + QStringLiteral("kjks"));
    form.show();
    form.chapterPage()->chapterTree->setCurrentItem(
        form.chapterPage()->chapterTree->topLevelItem(0)->child(1)->child(0));
    form.chapterPage()->chooseNode();
    ASSERT_EQ(form.chapterPage()->progressLabel->text(), QStringLiteral("已做 345题，还剩 855 题"));

    const std::pair<int, QWidget *> pages[] = {
        {3, form.chapterPage()}, {5, form.wrongPage()}, {6, form.favouritesPage()}};
    for (const auto &[entry, page] : pages) {
        SCOPED_TRACE(page->objectName().toStdString());
        form.navigate(entry);
        EXPECT_EQ(page->size(), QSize(1013, 475));
        QList<QWidget *> widgets = page->findChildren<QWidget *>();
        widgets << page;
        for (QWidget *parent : widgets) {
            QList<QWidget *> kids;
            for (QObject *o : parent->children())
                if (auto *w = qobject_cast<QWidget *>(o);
                    w && !w->isWindow() && !w->isHidden() && (parent == page || qobject_cast<QGroupBox *>(parent)))
                    kids << w;
            for (QWidget *w : kids) {
                const std::string name = w->objectName().toStdString();
                EXPECT_TRUE(parent->rect().contains(w->geometry())) << name;
                const bool captioned = (qobject_cast<QLabel *>(w) && !static_cast<QLabel *>(w)->text().isEmpty()) ||
                                       qobject_cast<QAbstractButton *>(w) || qobject_cast<QGroupBox *>(w);
                if (captioned) {
                    EXPECT_LE(w->sizeHint().width(), w->width()) << name;
                    EXPECT_LE(w->sizeHint().height(), w->height()) << name;
                }
                for (QWidget *other : kids) {
                    if (other == w) continue;
                    EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                        << name << " / " << other->objectName().toStdString();
                }
            }
        }
    }
    // The longest section name is shown whole in the tree.
    QTreeWidget *tree = form.chapterPage()->chapterTree;
    QTreeWidgetItem *longest = tree->topLevelItem(0)->child(1)->child(0);
    const QRect r = tree->visualItemRect(longest);
    EXPECT_LE(r.left() + tree->fontMetrics().horizontalAdvance(longest->text(0)) + 8, tree->viewport()->width());
}

} // namespace
