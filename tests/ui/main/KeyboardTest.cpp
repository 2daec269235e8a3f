#include "About.h"
#include "AccessibleNames.h"
#include "DocumentsPage.h"
#include "ExamProfile.h"
#include "FixtureBank.h"
#include "Guide.h"
#include "HomePage.h"
#include "MainWindow.h"
#include "NavButton.h"
#include "RecordingPlatform.h"
#include "TabOrder.h"
#include "TestApp.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

class MainKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ResetProcessState();
        bank.open();
        form = std::make_unique<MainWindow>(bank.dir() + QStringLiteral("kjks"));
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    RecordingPlatform platform;
    FixtureBank bank;
    std::unique_ptr<MainWindow> form;
};

// Every entry, link and the update check can be reached with Tab alone, in the order they stand.
TEST_F(MainKeyboardTest, TabReachesEveryEntryAndBothLinks) {
    QList<QWidget *> expected;
    for (int n = 1; n <= 6; ++n)
        expected << form->navButton(n);
    expected << form->webLink << form->updateLink;
    QWidget *outOfOrder = FirstOutOfTabOrder(TabChain(form.get()), expected);
    EXPECT_EQ(outOfOrder, nullptr) << (outOfOrder ? outOfOrder->objectName().toStdString() : std::string());
}

TEST_F(MainKeyboardTest, KeysOpenEntriesLinksAndTheKeyList) {
    // Ctrl+number goes where the entry goes.
    const std::pair<int, int> shortcuts[] = {
        {3, MainWindow::ChapterPageIndex}, {5, MainWindow::WrongPageIndex}, {1, MainWindow::HomePageIndex}};
    for (const auto &[number, page] : shortcuts) {
        QTest::keyClick(form.get(), Qt::Key(Qt::Key_0 + number), Qt::ControlModifier);
        EXPECT_EQ(form->pages->currentIndex(), page) << number;
        EXPECT_TRUE(form->navButton(number)->isCurrent());
    }
    // A focused entry opens with Enter; the arrow moves to its neighbour.
    form->navButton(4)->setFocus();
    QTest::keyClick(form->navButton(4), Qt::Key_Right);
    EXPECT_TRUE(form->navButton(5)->hasFocus());
    QTest::keyClick(form->navButton(5), Qt::Key_Left);
    EXPECT_TRUE(form->navButton(4)->hasFocus());
    QTest::keyClick(form->navButton(4), Qt::Key_Return);
    EXPECT_EQ(form->pages->currentIndex(), int(MainWindow::MockExamPageIndex));
    // Enter on [软件升级] runs the check as a click does: it speaks, whatever the bank says.
    form->updateLink->setFocus();
    QTest::keyClick(form->updateLink, Qt::Key_Space);
    ASSERT_FALSE(platform.boxes.empty());
    platform.boxes.clear();
    // F1 lists the keys.
    QTest::keyClick(form.get(), Qt::Key_F1);
    EXPECT_EQ(platform.texts(), QStringList{MainWindow::KeysText()});
}

// A screen reader hears the entries as page tabs, the current one selected, and can press one.
TEST_F(MainKeyboardTest, EntriesArePageTabsThatAScreenReaderCanPress) {
    for (int n = 1; n <= 6; ++n) {
        QAccessibleInterface *entry = QAccessible::queryAccessibleInterface(form->navButton(n));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->role(), QAccessible::PageTab) << n;
        EXPECT_EQ(entry->state().selected, n == 1) << n;
        EXPECT_EQ(entry->text(QAccessible::Name), form->navButton(n)->captionLabel()->text());
    }
    QAccessibleInterface *chapters = QAccessible::queryAccessibleInterface(form->navButton(3));
    ASSERT_NE(chapters->actionInterface(), nullptr);
    chapters->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(form->pages->currentIndex(), int(MainWindow::ChapterPageIndex));
    EXPECT_TRUE(chapters->state().selected);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(form->navButton(1))->state().selected);
}

} // namespace

namespace {

// Every control a learner can operate on every page of the main window has a name a screen reader
// can say (its caption or an accessible name).
TEST_F(MainKeyboardTest, EveryControlHasANameForScreenReaders) {
    QStringList unnamed;
    auto collect = [&] { unnamed << UnnamedControls(form.get()); };
    for (int entry = 1; entry <= 6; ++entry) {
        form->navigate(entry);
        collect();
    }
    form->showStatistics();
    collect();
    unnamed.removeDuplicates();
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral(", ")).toStdString();
}

} // namespace

namespace {

// Qt's own words are Chinese (the boxes' buttons), and no button of the main window speaks English.
TEST_F(MainKeyboardTest, NoButtonSpeaksEnglish) {
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
    EXPECT_FALSE(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("Yes")));
    for (int entry = 1; entry <= 6; ++entry)
        form->navigate(entry);
    form->showStatistics();
    const QRegularExpression latinWord(QStringLiteral("[A-Za-z]{2,}"));
    for (QAbstractButton *b : form->findChildren<QAbstractButton *>())
        EXPECT_FALSE(latinWord.match(b->text()).hasMatch()) << b->text().toStdString();
}

} // namespace

namespace {

// The guide tells the bank's own exam (its sections, points and scoring) and can be reopened; the
// bank remembers that it was shown.
TEST_F(MainKeyboardTest, TheGuideTellsTheBanksExamAndIsRememberedOnce) {
    QTest::mouseClick(form->homePage->guideButton(), Qt::LeftButton);
    auto *guide = form->findChild<QDialog *>(QStringLiteral("guide"));
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    const QString text = guide->findChild<QPlainTextEdit *>()->toPlainText();
    for (QuestionType type : kQuestionTypes) {
        const ExamSection &s = examProfile().section(type);
        EXPECT_TRUE(text.contains(s.countText + QStringLiteral("题，共") + s.pointsText + QStringLiteral("分")))
            << s.typeName.toStdString();
    }
    EXPECT_TRUE(text.contains(QStringLiteral("Ctrl+1")));
    EXPECT_FALSE(GuideSeen(bankSession()->db));
    MarkGuideSeen(bankSession()->db);
    EXPECT_TRUE(GuideSeen(bankSession()->db));
}

// The about box names the program's version, the bank's title and release, and the licence; its
// text is read anew at every opening.
TEST_F(MainKeyboardTest, TheAboutBoxTellsVersionsAndLicence) {
    auto aboutText = [&] {
        QTest::mouseClick(form->homePage->aboutButton(), Qt::LeftButton);
        auto *about = form->findChild<QDialog *>(QStringLiteral("about"));
        EXPECT_TRUE(about && about->isVisible());
        return about ? about->findChild<QPlainTextEdit *>()->toPlainText() : QString();
    };
    const QString first = aboutText();
    EXPECT_TRUE(first.contains(QStringLiteral("程序版本：") + ProgramVersion())) << first.toStdString();
    EXPECT_FALSE(ProgramVersion().isEmpty());
    EXPECT_TRUE(first.contains(QStringLiteral("题库：") + form->windowTitle()));
    EXPECT_TRUE(first.contains(QStringLiteral("题库版本：未注明")));
    EXPECT_TRUE(first.contains(QStringLiteral("GNU 通用公共许可证")));
    bankSession()->db.exec(QStringLiteral("insert into sys_option (option_name, option_value) values ('BANK_VERSION', "
                                          "'2026.3')"));
    EXPECT_TRUE(aboutText().contains(QStringLiteral("题库版本：2026.3")));
}

TEST_F(MainKeyboardTest, DocumentsZoomWithTheKeys) {
    form->navigate(2);
    DocumentsPage *page = form->documentsPage();
    page->viewer->setHtml(
        QStringLiteral("<p style=\"font-size:20pt\">考试大纲</p><p style=\"font-size:12pt\">正文</p>"));
    auto sizeAt = [&](int position) {
        QTextCursor c(page->viewer->document());
        c.setPosition(position + 1);
        return c.charFormat().font().pointSizeF();
    };
    const int body = page->viewer->document()->findBlockByNumber(1).position();
    page->viewer->setFocus();
    QTest::keyClick(page->viewer, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(page->viewer, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(page->zoomSteps(), 2);
    EXPECT_NEAR(sizeAt(0), 20 * 1.21, 0.01); // every size by the same factor
    EXPECT_NEAR(sizeAt(body), 12 * 1.21, 0.01);
    QTest::keyClick(page->viewer, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_NEAR(sizeAt(body), 12 * 1.1, 0.01);
    QTest::keyClick(page->viewer, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(page->zoomSteps(), 0);
    EXPECT_NEAR(sizeAt(0), 20, 0.01);
    EXPECT_NEAR(sizeAt(body), 12, 0.01);
}

} // namespace
