#include "MainWindow.h"
#include "BannerPicture.h"
#include "ChapterPracticePage.h"
#include "ExamProfile.h"
#include "FixtureBank.h"
#include "HomePage.h"
#include "LaunchParameters.h"
#include "MainQueries.h"
#include "MockExamPage.h"
#include "NavButton.h"
#include "RecordingPlatform.h"
#include "StatisticsPage.h"
#include "TestApp.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ResetProcessState();
    }
    std::unique_ptr<MainWindow> start() {
        bank.open();
        auto form = std::make_unique<MainWindow>(bank.dir() + QStringLiteral("kjks"));
        form->showFirstTime();
        return form;
    }
    bool captionIsRed(MainWindow &form, int number) {
        return form.navButton(number)->captionLabel()->styleSheet().contains(QStringLiteral("red"));
    }

    RecordingPlatform platform;
    FixtureBank bank;
};

TEST_F(MainWindowTest, FirstShowingFillsTheWindowFromTheBank) {
    auto form = start();
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("初级会计实务考试系统"));
    EXPECT_EQ(applicationTitle(), QStringLiteral("初级会计实务考试系统"));
    EXPECT_EQ(form->subjectLabel->text(), QStringLiteral("初级会计实务"));
    EXPECT_EQ(form->infoLabel->text(), QStringLiteral("信息"));
    EXPECT_EQ(form->contactLabel->text(), QStringLiteral("联系方式"));
    EXPECT_EQ(form->webLink->text(), QStringLiteral("https://www.example.com/kjks"));
    EXPECT_EQ(form->updateLink->text(), QStringLiteral("[软件升级]"));
    EXPECT_EQ(launchParameters().AppDir, bank.dir());
    EXPECT_EQ(launchParameters().PracticeScope, 0);
    EXPECT_EQ(launchParameters().PaperKey, QStringLiteral("0"));
    EXPECT_TRUE(QDir(bank.dir() + QStringLiteral("down")).exists());
    EXPECT_EQ(form->pages->currentIndex(), int(MainWindow::HomePageIndex));
    EXPECT_TRUE(captionIsRed(*form, 1));
    EXPECT_EQ(form->size(), QSize(1013, 732));
    // Statements of the start-up, in order: the four options, then the profile.
    ASSERT_GE(bank.statements.size(), 5);
    EXPECT_EQ(bank.statements.mid(0, 5),
              QStringList({QStringLiteral("select * from sys_option where option_name = 'APP_TITLE'"),
                           QStringLiteral("select * from sys_option where option_name = 'APP_XINXI'"),
                           QStringLiteral("select * from sys_option where option_name = 'APP_LJURL'"),
                           QStringLiteral("select * from sys_option where option_name = 'APP_LXFS'"),
                           QStringLiteral("select * from kjks_type where kjks_type_id = 1")}));
}

TEST_F(MainWindowTest, PicturesNextToTheProgramReplaceTheBuiltInOnes) {
    // No images folder: the built-in pictures stay.
    {
        auto form = start();
        EXPECT_EQ(form->banner->picture().size(), QSize(1013, 81));
    }
    // A banner and one navigation picture of their own sizes; a broken file is ignored.
    ASSERT_TRUE(QDir(bank.dir()).mkpath(QStringLiteral("images")));
    QImage(40, 8, QImage::Format_RGB32).save(bank.dir() + QStringLiteral("images/logo.jpg"));
    QImage(12, 12, QImage::Format_ARGB32).save(bank.dir() + QStringLiteral("images/MB__book.png"));
    QFile broken(bank.dir() + QStringLiteral("images/MB__home.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    auto form = std::make_unique<MainWindow>(bank.dir() + QStringLiteral("kjks"));
    form->showFirstTime();
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(form->banner->picture().size(), QSize(40, 8));
    EXPECT_EQ(form->navButton(3)->findChild<QLabel *>()->pixmap().size(), QSize(12, 12));
    EXPECT_EQ(form->navButton(1)->findChild<QLabel *>()->pixmap().size(), QSize(70, 70));
}

TEST_F(MainWindowTest, ProfileFailureStopsTheRemainingSteps) {
    bank.model.profiles[0].columns[QStringLiteral("panduanti")] = QStringLiteral("十");
    auto form = start();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].kind, PlatformServices::BoxKind::Error);
    EXPECT_EQ(platform.boxes[0].text,
              QStringLiteral("题库中有无效的数据，操作没有完成。\n详细信息：'十' is not a valid integer value"));
    // The status bar was filled before; the title and the navigation were not reached.
    EXPECT_EQ(form->infoLabel->text(), QStringLiteral("信息"));
    EXPECT_EQ(form->windowTitle(), QString());
    EXPECT_EQ(applicationTitle(), productTitle());
    EXPECT_FALSE(captionIsRed(*form, 1));
}

TEST_F(MainWindowTest, EmptyTitleEmptiesCaptionAndApplicationTitle) {
    bank.model.options[QStringLiteral("APP_TITLE")] = QString();
    auto form = start();
    EXPECT_EQ(form->windowTitle(), QString());
    EXPECT_EQ(applicationTitle(), QString());
}

// The first paint needs the home page alone: the other pages are built, and read the bank, when
// first shown, each once. The chapter table is read before the first showing all the same, so a bank
// that cannot show it ends the start-up.
TEST_F(MainWindowTest, PagesAreBuiltAndFilledWhenFirstShown) {
    auto form = start();
    ASSERT_TRUE(platform.boxes.empty());
    EXPECT_EQ(bank.statements.last(), ChapterTreeSql());
    for (const QString &sql : bank.statements)
        EXPECT_FALSE(sql.contains(QStringLiteral("count(")) || sql.contains(QStringLiteral("progress_counts")) ||
                     sql.contains(QStringLiteral("kjks_SJML")))
            << qPrintable(sql);
    EXPECT_EQ(form->findChild<ChapterPracticePage *>(), nullptr);
    EXPECT_EQ(form->findChild<MockExamPage *>(), nullptr);
    EXPECT_EQ(form->findChild<StatisticsPage *>(), nullptr);

    bank.statements.clear();
    QTest::mouseClick(form->navButton(3), Qt::LeftButton);
    EXPECT_EQ(form->currentPage(), form->chapterPage());
    // The whole subject counted once, from the kept counts: the practised types and the stems.
    EXPECT_EQ(bank.statements.filter(QStringLiteral("progress_counts")).size(), 2)
        << qPrintable(bank.statements.join(QLatin1Char('\n')));
    EXPECT_EQ(form->chapterPage()->progressLabel->text(), QStringLiteral("已做 0题，还剩 0 题"));
    QTest::mouseClick(form->homePage->statisticsButton(), Qt::LeftButton);
    EXPECT_EQ(form->currentPage(), form->statisticsPage());
    QTest::mouseClick(form->navButton(4), Qt::LeftButton);
    EXPECT_EQ(form->currentPage(), form->mockExamPage());
    QTest::mouseClick(form->navButton(3), Qt::LeftButton);
    EXPECT_EQ(form->findChildren<ChapterPracticePage *>().size(), 1);
    EXPECT_EQ(form->pages->count(), 7);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(MainWindowTest, NavigationSwitchesPagesAndRedoesTheCurrentEntry) {
    auto form = start();
    struct Step {
        int number;
        int page;
    } steps[] = {{2, MainWindow::DocumentsPageIndex},  {3, MainWindow::ChapterPageIndex},
                 {4, MainWindow::MockExamPageIndex},   {5, MainWindow::WrongPageIndex},
                 {6, MainWindow::FavouritesPageIndex}, {1, MainWindow::HomePageIndex}};
    for (const Step &s : steps) {
        QTest::mouseClick(form->navButton(s.number), Qt::LeftButton);
        EXPECT_EQ(form->pages->currentIndex(), s.page) << s.number;
        for (int n = 1; n <= 6; ++n)
            EXPECT_EQ(captionIsRed(*form, n), n == s.number) << s.number << " " << n;
    }
    // Entry 3 resets the scope and the chosen chapter, also when it is already current.
    QTest::mouseClick(form->navButton(3), Qt::LeftButton);
    launchParameters().PracticeScope = 4;
    launchParameters().SelectedChapterCode = QStringLiteral("10102");
    QTest::mouseClick(form->navButton(3), Qt::LeftButton);
    EXPECT_EQ(launchParameters().PracticeScope, 0);
    EXPECT_EQ(launchParameters().SelectedChapterCode, QString());

    // The home page's syllabus button shows the documents page and leaves the highlight alone.
    QTest::mouseClick(form->navButton(1), Qt::LeftButton);
    QTest::mouseClick(form->homePage->syllabusButton(), Qt::LeftButton);
    EXPECT_EQ(form->pages->currentIndex(), int(MainWindow::DocumentsPageIndex));
    EXPECT_TRUE(captionIsRed(*form, 1));
}

TEST_F(MainWindowTest, StatusLinkOpensThroughTheShellAndReportsFailure) {
    bank.model.options[QStringLiteral("APP_LJURL")] = QStringLiteral("  https://www.example.com/kjks ");
    auto form = start();
    QTest::mouseClick(form->webLink, Qt::LeftButton);
    EXPECT_EQ(platform.opened, QStringList{QStringLiteral("\"https://www.example.com/kjks\"")});
    EXPECT_TRUE(platform.boxes.empty());

    // A program or an empty link never reaches the shell; a web address the shell refuses is
    // reported the same way.
    const QString refused[] = {QString(), bank.dir() + QStringLiteral("kjks"), QStringLiteral("file:///bin/sh")};
    for (const QString &text : refused) {
        form->webLink->setText(text);
        QTest::mouseClick(form->webLink, Qt::LeftButton);
    }
    platform.shellOpenResult = false;
    form->webLink->setText(QStringLiteral("www.example.com"));
    QTest::mouseClick(form->webLink, Qt::LeftButton);
    EXPECT_EQ(platform.opened, QStringList({QStringLiteral("\"https://www.example.com/kjks\""),
                                            QStringLiteral("\"http://www.example.com\"")}));
    ASSERT_EQ(platform.boxes.size(), 4u);
    for (const auto &box : platform.boxes) {
        EXPECT_EQ(box.kind, PlatformServices::BoxKind::Error);
        EXPECT_EQ(box.text, QStringLiteral("网址访问出错."));
        EXPECT_EQ(box.caption, QStringLiteral("初级会计实务考试系统"));
    }
}

TEST_F(MainWindowTest, BankTextsAreShownAsPlainText) {
    const QString markup = QStringLiteral("<img width=60000 src=x><b>粗体</b>");
    for (const char *option : {"APP_XINXI", "APP_LXFS", "APP_LJURL"})
        bank.model.options[QString::fromLatin1(option)] = markup;
    bank.model.profiles[0].columns[QStringLiteral("kjks_type_name")] = markup;
    bank.model.chapters.push_back({QStringLiteral("0102"), markup});
    auto form = start();
    const QLabel *labels[] = {form->infoLabel,
                              form->contactLabel,
                              form->webLink,
                              form->subjectLabel,
                              form->chapterPage()->subjectLabel,
                              form->mockExamPage()->subjectLabel,
                              form->chapterPage()->chapterLabel,
                              form->chapterPage()->sectionLabel};
    for (const QLabel *label : labels)
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << qPrintable(label->objectName());
    EXPECT_EQ(form->infoLabel->text(), markup);
    EXPECT_EQ(form->subjectLabel->text(), markup);
    // What a label shows is its text, not a picture 60000 pixels wide.
    EXPECT_LT(form->infoLabel->sizeHint().width(), 1000);
}

TEST_F(MainWindowTest, StartingTwiceChangesNothingInTheBank) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    auto dump = [&] {
        QStringList rows;
        for (const char *table : {"kjks_tigan", "kjks_xuanxiang", "zongtigan", "kjks_zhangjie", "kjks_type",
                                  "kjks_SJML", "shijuan", "sys_option"}) {
            const auto result = bankSession()->db.select(QStringLiteral("select * from ") + QString::fromLatin1(table));
            for (const auto &row : result) {
                QStringList cells;
                for (const QVariant &v : row)
                    cells << v.toString();
                rows << QString::fromLatin1(table) + QLatin1Char(':') + cells.join(QLatin1Char('|'));
            }
        }
        return rows;
    };
    { auto first = start(); }
    const QStringList before = dump();
    {
        auto second = std::make_unique<MainWindow>(bank.dir() + QStringLiteral("kjks"));
        second->showFirstTime();
    }
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(QDir(bank.dir()).entryList({QStringLiteral("down*")}, QDir::Dirs), QStringList{QStringLiteral("down")});
}

TEST(Executable, MissingBankEndsWithTheMessageAndNoWindow) {
    QTemporaryDir dir;
    const QString exe = dir.path() + QStringLiteral("/kjks");
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(KJKS_EXECUTABLE), exe));
    QFile::setPermissions(exe, QFile::permissions(exe) | QFileDevice::ExeOwner);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(exe, {});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_NE(p.exitCode(), 0);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_TRUE(err.contains(QStringLiteral("缺少数据库文件。"))) << qPrintable(err);
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/kjks.dbf")));
    EXPECT_FALSE(QDir(dir.path() + QStringLiteral("/down")).exists()); // the main window never showed
}

} // namespace

namespace {

TEST_F(MainWindowTest, AnswerTimeThatIsNoDateIsShownAsStored) {
    bank.model.papers.push_back({11, QStringLiteral("昨天上午<b>"), QString(), {}, 0});
    bank.model.papers.push_back({12, QStringLiteral("2026-05-16 09:30:00"), QString(), {}, 0});
    auto form = start();
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
    EXPECT_TRUE(captionIsRed(*form, 1)); // start-up ran to its end
    ASSERT_EQ(form->mockExamPage()->paperList->rowCount(), 2);
    EXPECT_EQ(form->mockExamPage()->paperList->item(0, 1)->text(), QStringLiteral("昨天上午<b>"));
    EXPECT_EQ(form->mockExamPage()->paperList->item(1, 1)->text(), QStringLiteral("2026-05-16 09:30:00"));
}

} // namespace
