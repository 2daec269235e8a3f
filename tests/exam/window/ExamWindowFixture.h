#pragma once

#include "BankSession.h"
#include "ClickableLabel.h"
#include "ExamProfile.h"
#include "ExamWindow.h"
#include "FixtureBank.h"
#include "LaunchParameters.h"
#include "NumberText.h"
#include "RecordingPlatform.h"
#include "ResultDialog.h"
#include "ShapeControl.h"
#include "TestApp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

// The exam window on a fixture bank, driven as a learner drives it. The fixture profile asks for
// 2 single, 1 multiple, 1 judgement and one case of 5 sub-questions; the pool has a spare row in
// every section.
class ExamWindowTest : public ::testing::Test {
protected:
    using State = AnswerCard::State;
    using Opening = ExamWindow::Opening;

    void SetUp() override {
        testApp();
        ResetProcessState();
        launchParameters().AppDir = bank.dir();
    }
    void TearDown() override {
        window.reset(); // no close: a test that wants the confirmation closes itself
        if (resultDialog()) delete resultDialog();
    }

    void setProfile(const char *column, const QString &value) {
        bank.model.profiles[0].columns[QString::fromLatin1(column)] = value;
    }

    // Singles 11–13 (A), multiples 21–22 (AB), judgements 31–32 (×), stems 7 and 8.
    void addPool() {
        for (int id : {11, 12, 13})
            bank.addQuestion(id, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
        for (int id : {21, 22})
            bank.addQuestion(id, QStringLiteral("多选题"), 1, 1, QStringLiteral("AD"));
        for (int id : {31, 32})
            bank.addQuestion(id, QStringLiteral("判断题"), 1, 2, QStringLiteral("×"), 0);
        bank.addStem(7, 1, 2);
        bank.addStem(8, 1, 2);
    }

    void openBank() {
        if (opened) return;
        if (bank.model.questions.empty()) addPool();
        {
            BankSession &form = bank.open();
            form.LoadExamProfile(QStringLiteral("1"));
            form.LoadExamOptions();
        }
        opened = true;
    }

    // "进入考场" (or, with a paper key, "重做"/"查看"): shows a new window on the launch parameters.
    ExamWindow &open(Opening opening = Opening::FromLaunch) {
        window.reset();
        openBank();
        if (opening == Opening::FromLaunch && launchParameters().PaperKey == QStringLiteral("0")) {
            launchParameters().PaperDrawMode = QStringLiteral("shijuan");
            launchParameters().PaperSetValue = QStringLiteral("随机");
        }
        bank.statements.clear();
        platform.boxes.clear();
        window = std::make_unique<ExamWindow>(opening);
        window->setWindowModality(Qt::ApplicationModal);
        window->show();
        QCoreApplication::processEvents();
        return *window;
    }

    ExamWindow &w() { return *window; }
    QString key() const { return launchParameters().PaperKey; }

    void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    void clickWidget(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    void option(int index) { click(w().optionButtons().at(size_t(index))); }
    void next() { click(w().nextButton); }
    void previous() { click(w().previousButton); }
    void cell(int position) { clickWidget(w().card().label(position)); }
    void mark() { click(w().markBox); }
    void key(int k) { QTest::keyClick(window.get(), Qt::Key(k)); }
    // Moves the monotonic clock and lets the countdown tick once.
    void elapse(qint64 ms) {
        platform.monotonic += ms;
        w().tickCountdown();
    }

    // A column of the paper item at a question number.
    QString item(int xth, const QString &column) {
        return bank
            .scalar(QStringLiteral("select %1 from shijuan where sjID = %2 and xth = %3").arg(column, key()).arg(xth))
            .toString();
    }
    QString catalogue(const QString &column) {
        return bank.scalar(QStringLiteral("select %1 from kjks_SJML where sjID = %2").arg(column, key())).toString();
    }

    RecordingPlatform platform;
    FixtureBank bank;
    std::unique_ptr<ExamWindow> window;
    bool opened = false;
};
