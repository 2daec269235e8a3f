#pragma once

#include "BankSession.h"
#include "ExamProfile.h"
#include "FixtureBank.h"
#include "LaunchParameters.h"
#include "NumberText.h"
#include "PracticeWindow.h"
#include "RecordingPlatform.h"
#include "ResultDialog.h"
#include "TestApp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

// A practice run against a fixture bank: the test states its rows, opens the window as RunPractice
// would (modal, on the launch parameters) and acts like a learner.
class PracticeTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ResetProcessState();
        launchParameters().PracticeTypeFlags = {{true, true, true, true}};
        launchParameters().AppDir = bank.dir();
    }
    void TearDown() override {
        if (window) window->close();
        window.reset();
        if (resultDialog()) delete resultDialog();
    }

    void setFourthType(const QString &name) { bank.model.profiles[0].columns[QStringLiteral("shicaotype")] = name; }

    // Writes and opens the bank (once), loads the profile as the main window does, shows a new
    // window on the current launch parameters.
    PracticeWindow &open() {
        if (window) window->close();
        window.reset();
        if (!opened) openBank();
        bank.statements.clear();
        platform.boxes.clear();
        window = std::make_unique<PracticeWindow>();
        window->setWindowModality(Qt::ApplicationModal);
        window->show();
        return *window;
    }

    // Opens the bank without a window, for tests that change rows behind the bank tool's back.
    void openBank() {
        {
            BankSession &form = bank.open();
            form.LoadExamProfile(QStringLiteral("1"));
            form.LoadExamOptions();
        }
        opened = true;
    }

    PracticeWindow &w() { return *window; }
    // The view of a type tab by its position, and the fourth tab's.
    QuestionView &view(int tab) { return *window->view(type(tab)); }
    QuestionView &fourth() { return view(3); }

    // Tabs by their position, -1 for none.
    static QuestionType type(int tab) { return kQuestionTypes.at(size_t(tab)); }
    int activeTab() const {
        const std::optional<QuestionType> tab = window->activeTab();
        return tab ? int(IndexOf(*tab)) : -1;
    }

    // Lets pending layout and resize events run, as they would before the learner looks.
    static void settle() { QCoreApplication::processEvents(); }

    void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    void clickOption(int tab, int index) { click(w().optionButtons(type(tab)).at(size_t(index))); }
    void selectTab(int tab) { w().typeTabs->setCurrentIndex(tab); }
    void next() { click(w().nextButton); }
    void previous() { click(w().previousButton); }
    void explain() { click(w().explainButton); }

    QString column(const QString &table, int id, const QString &name) {
        const QString key = table == QStringLiteral("zongtigan") ? QStringLiteral("ID") : QStringLiteral("tigan_id");
        return bank.scalar(QStringLiteral("select %1 from %2 where %3 = %4").arg(name, table, key).arg(id)).toString();
    }
    QString tigan(int id, const QString &name) { return column(QStringLiteral("kjks_tigan"), id, name); }

    // Statements sent since the window opened that start with `prefix`.
    QStringList sent(const QString &prefix) const {
        QStringList out;
        for (const QString &s : bank.statements)
            if (s.startsWith(prefix)) out << s;
        return out;
    }

    QStringList boxTexts(RecordingPlatform::BoxKind kind) const {
        QStringList out;
        for (const auto &b : platform.boxes)
            if (b.kind == kind) out << b.text;
        return out;
    }

    QStringList dialogLines() const {
        return resultDialog() ? resultDialog()->explanationBox->toPlainText().split(QLatin1Char('\n')) : QStringList();
    }

    static QByteArray jpeg(int width, int height) { return FixtureJpeg(width, height); }

    RecordingPlatform platform;
    FixtureBank bank;
    std::unique_ptr<PracticeWindow> window;
    bool opened = false;
};
