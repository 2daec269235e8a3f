#include "ChapterPracticePage.h"
#include "DocumentsPage.h"
#include "FixtureBank.h"
#include "HomePage.h"
#include "MainWindow.h"
#include "MockExamPage.h"
#include "NavButton.h"
#include "Pictures.h"
#include "RecordingPlatform.h"
#include "ReviewPage.h"
#include "TestApp.h"
#include "WidgetPlacement.h"

#include "BannerPicture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

struct PageControls {
    int entry; // navigation entry, 0: the home page's "统计分析"
    std::vector<QWidget *> controls;
};

class MainLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ResetProcessState();
        bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
        bank.open();
        form = std::make_unique<MainWindow>(bank.dir() + QStringLiteral("kjks"));
        form->show();
    }

    // Every control of every page lies whole in the window, shown without scrolling, and apart from
    // the others of its page.
    void expectEveryPageFits(const QSize &size) {
        form->resize(size);
        QCoreApplication::processEvents();
        ASSERT_EQ(form->size(), size);
        MainWindow &w = *form;
        std::vector<QWidget *> frame = {w.banner, w.subjectLabel, w.infoLabel, w.webLink, w.updateLink};
        for (NavButton *b : w.navButtons)
            frame.push_back(b);
        const PageControls pages[] = {
            {1,
             {w.homePage->syllabusButton(), w.homePage->chapterPracticeButton(), w.homePage->mockExamButton(),
              w.homePage->statisticsButton()}},
            {2,
             {w.documentsPage()->syllabusButton, w.documentsPage()->guideButton, w.documentsPage()->experienceButton,
              w.documentsPage()->libraryButton, w.documentsPage()->newsButton, w.documentsPage()->viewer}},
            {3,
             {w.chapterPage()->chapterTree, w.chapterPage()->progressLabel, w.chapterPage()->scopeButtons[0],
              w.chapterPage()->scopeButtons[4], w.chapterPage()->typeBoxes.box(0), w.chapterPage()->typeBoxes.box(3),
              w.chapterPage()->startButton}},
            {4,
             {w.mockExamPage()->contentTable, w.mockExamPage()->enterButton, w.mockExamPage()->papersToggle,
              w.mockExamPage()->paperList, w.mockExamPage()->viewButton, w.mockExamPage()->redoButton,
              w.mockExamPage()->closeListButton}},
            {5,
             {w.wrongPage()->countLabels[3], w.wrongPage()->typeBoxes.box(3), w.wrongPage()->launchButton,
              w.wrongPage()->list}},
            {6,
             {w.favouritesPage()->countLabels[0], w.favouritesPage()->typeBoxes.box(0),
              w.favouritesPage()->launchButton, w.favouritesPage()->list}},
        };
        for (const PageControls &page : pages) {
            SCOPED_TRACE(page.entry);
            w.navigate(page.entry);
            QCoreApplication::processEvents();
            std::vector<QWidget *> all = frame;
            all.insert(all.end(), page.controls.begin(), page.controls.end());
            for (QWidget *c : all) {
                const QRect whole(c->mapTo(&w, QPoint(0, 0)), c->size());
                EXPECT_TRUE(w.rect().contains(whole)) << c->objectName().toStdString();
                EXPECT_EQ(ShownPart(c), whole) << c->objectName().toStdString() << " is cut off";
            }
            for (size_t i = 0; i < page.controls.size(); ++i)
                for (size_t j = i + 1; j < page.controls.size(); ++j)
                    EXPECT_FALSE(ShownPart(page.controls[i]).intersects(ShownPart(page.controls[j])))
                        << page.controls[i]->objectName().toStdString() << " overlaps "
                        << page.controls[j]->objectName().toStdString();
        }
    }

    RecordingPlatform platform;
    FixtureBank bank;
    std::unique_ptr<MainWindow> form;
};

// A 1024 x 728 screen leaves about 1024 x 698 inside the title bar; the design size; a full-HD
// screen maximized.
TEST_F(MainLayoutTest, EveryPageFitsFromASmallScreenToALargeOne) {
    for (const QSize &size : {QSize(1024, 698), QSize(1013, 732), QSize(1920, 1040)}) {
        SCOPED_TRACE(size.width());
        expectEveryPageFits(size);
    }
}

TEST_F(MainLayoutTest, ALargerWindowGivesTheListsAndTheTreeTheRoom) {
    form->resize(1013, 732);
    form->navigate(3);
    QCoreApplication::processEvents();
    const QSize tree = form->chapterPage()->chapterTree->size();
    const QSize papers = form->mockExamPage()->paperList->size();
    const QSize wrong = form->wrongPage()->list->size();
    form->resize(1920, 1040);
    QCoreApplication::processEvents();
    EXPECT_GT(form->chapterPage()->chapterTree->height(), tree.height() + 200);
    form->navigate(4);
    QCoreApplication::processEvents();
    EXPECT_GT(form->mockExamPage()->paperList->width(), papers.width() + 600);
    form->navigate(5);
    QCoreApplication::processEvents();
    EXPECT_GT(form->wrongPage()->list->width(), wrong.width() + 600);
}

// Run at 100 % and again at 200 %: the built-in pictures are the sharp ones where the screen is
// scaled, and keep their size on screen.
TEST_F(MainLayoutTest, PicturesAreSharpOnAScaledScreen) {
    const qreal ratio = qGuiApp->devicePixelRatio() > 1 ? 2 : 1;
    EXPECT_EQ(form->banner->picture().devicePixelRatio(), ratio);
    EXPECT_EQ(form->banner->picture().deviceIndependentSize(), QSizeF(1013, 81));
    const QPixmap nav = form->navButton(1)->findChild<QLabel *>()->pixmap();
    EXPECT_EQ(nav.devicePixelRatio(), ratio);
    EXPECT_EQ(nav.deviceIndependentSize(), QSizeF(70, 70));
}

TEST(PicturesTest, TheSharpVariantIsNamedBeforeTheExtension) {
    const std::pair<const char *, const char *> cases[] = {
        {":/images/logo.jpg", ":/images/logo@2x.jpg"},
        {"/opt/kjks/images/MB__home.png", "/opt/kjks/images/MB__home@2x.png"},
        {"/opt/kjks.d/images/photo", "/opt/kjks.d/images/photo@2x"},
        {"a.b/c.d.png", "a.b/c.d@2x.png"},
    };
    for (const auto &[path, sharp] : cases)
        EXPECT_EQ(DoubleSizePath(QString::fromUtf8(path)), QString::fromUtf8(sharp)) << path;
}

} // namespace
