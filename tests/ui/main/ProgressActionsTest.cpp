// The home page's progress row and the mock-exam page's print buttons, on a fixture bank.

#include "BankSession.h"
#include "ExamProfile.h"
#include "FixtureBank.h"
#include "LearnerProgress.h"
#include "MockExamPage.h"
#include "PaperPrintButtons.h"
#include "ProgressPanel.h"
#include "RecordingPlatform.h"
#include "TestApp.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

class ProgressActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ResetProcessState();
        bank.addQuestion(11, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")).progress = {
            QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), 1, 2};
        BankSession &form = bank.open();
        form.LoadExamProfile(QStringLiteral("1"));
        panelOwner = std::make_unique<ProgressPanel>();
        panelOwner->reload = [this] { ++reloads; };
    }

    int favourites() {
        return bank.scalar(QStringLiteral("select count(*) from kjks_tigan where shoucang = '1'")).toInt();
    }
    QStringList backups() { return QDir(bank.dir() + QStringLiteral("备份")).entryList(QDir::Files); }

    RecordingPlatform platform;
    FixtureBank bank;
    std::unique_ptr<ProgressPanel> panelOwner;
    ProgressPanel &panel() { return *panelOwner; }
    int reloads = 0;
};

TEST_F(ProgressActionsTest, StartingOverAsksNamingTheLossBacksUpAndClears) {
    platform.confirmAnswers = {false};
    panel().startOverButton->click();
    EXPECT_EQ(favourites(), 1);
    EXPECT_TRUE(backups().isEmpty());
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(platform.boxes[0].text.contains(QStringLiteral("收藏：1 题")));

    panel().startOverButton->click(); // confirmed
    EXPECT_TRUE(SummariseProgress(bankSession()->db).empty());
    EXPECT_EQ(backups(), QStringList{QStringLiteral("kjks-重新开始前-20260516-090000.dbf")});
    EXPECT_EQ(reloads, 1);
    EXPECT_TRUE(platform.texts().last().contains(QStringLiteral("kjks-重新开始前-20260516-090000.dbf")));

    panel().startOverButton->click(); // nothing left to clear
    EXPECT_EQ(platform.texts().last(), QStringLiteral("目前还没有学习进度，无需重新开始。"));
}

TEST_F(ProgressActionsTest, RestoreBringsBackABackupAndRefusesAForeignFile) {
    QString proposed;
    panel().chooseBackupTarget = [&](const QString &suggested) { return proposed = suggested; };
    panel().backupButton->click();
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("/备份/kjks-进度备份-20260516-090000.dbf"))) << proposed.toStdString();
    ASSERT_TRUE(QFile::exists(proposed));
    bank.exec(QStringLiteral("update kjks_tigan set shoucang = '0'"));

    const QString foreign = bank.dir() + QStringLiteral("notes.dbf");
    QFile f(foreign);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("my notes, not a bank");
    f.close();
    panel().chooseRestoreSource = [&](const QString &) { return foreign; };
    panel().restoreButton->click();
    EXPECT_EQ(platform.boxes.back().kind, PlatformServices::BoxKind::Error);
    EXPECT_TRUE(platform.boxes.back().text.startsWith(QStringLiteral("所选文件不是本程序的题库备份")));
    EXPECT_EQ(favourites(), 0);
    EXPECT_EQ(reloads, 0);

    panel().chooseRestoreSource = [&](const QString &) { return proposed; };
    panel().restoreButton->click();
    EXPECT_EQ(favourites(), 1);
    EXPECT_EQ(reloads, 1);
    EXPECT_TRUE(backups().contains(QStringLiteral("kjks-恢复前-20260516-090000.dbf")));
}

TEST_F(ProgressActionsTest, PrintButtonsWriteTheChosenPaper) {
    // The bank of the fixture has no paper: one handed in, with one item.
    bankSession()->db.exec(QStringLiteral("insert into kjks_SJML (sjID, DTKSSJ, JJSJ, DEFEN) values "
                                          "(5, '2026-05-01 09:00:00', '2026-05-01 10:00:00', 2)"));
    bankSession()->db.exec(QStringLiteral("insert into shijuan (sjID, xth, tixing, tigan_id, daan, KSDA, defen) "
                                          "values (5, 1, '单选题', 11, 'A', 'A', 2)"));
    MockExamPage page;
    page.OpenPaperList();
    EXPECT_FALSE(page.printButtons->isEnabled());
    page.choosePaper(0, 1);
    ASSERT_TRUE(page.printButtons->isEnabled());
    const QString pdf = bank.dir() + QStringLiteral("第一套");
    QString proposed;
    page.printButtons->choosePdfTarget = [&](const QString &suggested) {
        proposed = suggested;
        return pdf;
    };
    page.printButtons->printButton->click();
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("/模拟试卷第1套.pdf"))) << proposed.toStdString();
    EXPECT_TRUE(QFile::exists(pdf + QStringLiteral(".pdf")));
    EXPECT_TRUE(platform.texts().last().startsWith(QStringLiteral("试卷已保存为 PDF（共 3 页）")))
        << platform.texts().last().toStdString();
}

} // namespace
