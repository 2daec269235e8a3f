// Grabs the mock-exam window and the mock-exam page to PNG files, for looking at the layout on a
// real display (run under Xvfb):
//
//   exam_screenshots <bank.dbf> <content folder> <output folder>
//
// The bank is copied first, so the papers written here never reach the given bank.

#include "BankSession.h"
#include "ClickableLabel.h"
#include "ExamProfile.h"
#include "ExamWindow.h"
#include "Fonts.h"
#include "LaunchParameters.h"
#include "MockExamPage.h"
#include "RecordingPlatform.h"
#include "ResultDialog.h"
#include "Screenshots.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <deque>

namespace {

QString g_out;

void settle() {
    SettleEvents();
}

QString shotPath(const char *name) {
    return g_out + QStringLiteral("/") + QString::fromLatin1(name) + QStringLiteral(".png");
}

void savePixmap(const QPixmap &pixmap, const char *name) {
    SaveShot(pixmap, shotPath(name));
}

void save(QWidget *widget, const char *name) {
    SaveWidgetShot(widget, shotPath(name));
}

// Boxes are shown for real, grabbed with the window behind them and answered: OK, and for a
// question the next of `answers` (Cancel when none is left).
class ShotPlatform : public RecordingPlatform {
public:
    const char *nextBoxShot = nullptr;
    std::deque<bool> answers;

    void messageBox(BoxKind kind, const QString &text) override {
        RecordingPlatform::messageBox(kind, text);
        showBox(QMessageBox::Information, applicationTitle(), text, false);
    }
    bool questionBox(const QString &caption, const QString &text) override {
        RecordingPlatform::questionBox(caption, text);
        showBox(QMessageBox::Question, caption, text, true);
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

private:
    void showBox(QMessageBox::Icon icon, const QString &caption, const QString &text, bool withCancel) {
        QMessageBox box(QApplication::activeModalWidget());
        box.setWindowTitle(caption);
        box.setText(text);
        box.setIcon(icon);
        box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        if (withCancel) box.setDefaultButton(box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole));
        const char *shot = nextBoxShot;
        nextBoxShot = nullptr;
        QTimer::singleShot(400, &box, [&box, shot] {
            if (shot) savePixmap(QGuiApplication::primaryScreen()->grabWindow(0), shot);
            box.done(0);
        });
        box.exec();
    }
};

ShotPlatform *g_platform = nullptr;

void click(QAbstractButton *button) {
    QTest::mouseClick(button, Qt::LeftButton);
}
void click(QWidget *widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
}

void tick(ExamWindow &w, qint64 ms) {
    g_platform->monotonic += ms;
    w.tickCountdown();
}

void newExam() {
    launchParameters().PaperKey = QStringLiteral("0");
    launchParameters().PaperDrawMode = QStringLiteral("shijuan");
    launchParameters().PaperSetValue = QStringLiteral("随机");
}

void examWindow() {
    newExam();
    ExamWindow w;
    w.show();
    settle();
    tick(w, 1000);
    save(&w, "exam-start");

    // A card with answered, marked and current cells; a paper of fewer questions (a bank without
    // some sections) as far as it goes.
    const int size = w.card().size();
    for (int p = 0; p < std::min(6, size); ++p) {
        click(w.card().label(p));
        if (!w.optionButtons().empty()) click(w.optionButtons().at(size_t(p % w.optionButtons().size())));
        if (p == 2 || p == 4) click(w.markBox);
    }
    const int multiple = std::min(24, size - 1);
    click(w.card().label(multiple));
    if (w.optionButtons().size() > 2) {
        click(w.optionButtons().at(0));
        click(w.optionButtons().at(2));
    }
    const int last = std::min(27, size - 1);
    click(w.card().label(last));
    tick(w, 754 * 1000);
    save(&w, "exam-card");
    // The keyboard's way: Tab from the card's stop to the buttons, the focus shown on each.
    w.activateWindow();
    w.card().label(last)->setFocus();
    QTest::keyClick(w.card().label(last), Qt::Key_Right);
    settle();
    save(&w, "exam-focus-card");
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    settle();
    save(&w, "exam-focus-button");
    // On a 1024 x 768 screen, and on a large one.
    const QSize design = w.size();
    for (const auto &[size, name] :
         {std::pair{QSize(1000, 660), "exam-1024"}, std::pair{QSize(1900, 1000), "exam-1920"}}) {
        w.resize(size);
        settle();
        save(&w, name);
    }
    w.resize(design);
    settle();

    if (w.fourthHeader->isVisible()) {
        click(w.fourthHeader);
        click(w.optionButtons().at(1));
        click(w.nextButton);
        save(&w, "exam-case");
    }

    g_platform->answers = {true};
    g_platform->nextBoxShot = "exam-hand-in-confirm";
    click(w.handInArea); // hand in, after its confirmation
    settle();
    save(&w, "exam-handed-in");
    if (resultDialog()) {
        save(resultDialog(), "exam-result");
        resultDialog()->move(w.geometry().center() - resultDialog()->rect().center());
        settle();
        savePixmap(QGuiApplication::primaryScreen()->grabWindow(0), "exam-handed-in-result");
        resultDialog()->close();
    }
    w.close();
}

void timeOut() {
    newExam();
    ExamWindow w;
    w.show();
    settle();
    g_platform->nextBoxShot = "exam-timeout";
    g_platform->monotonic += qint64(launchParameters().ExamTimeSeconds) * 1000;
    w.tickCountdown(); // the time-out box, then the paper handed in without asking
    settle();
    save(&w, "exam-timed-out");
    if (resultDialog()) resultDialog()->close();
    w.close();
}

void mockExamPage() {
    MockExamPage page;
    page.resize(1013, 475);
    page.ShowProfile(bankSession()->GetOption(QStringLiteral("APP_TITLE")));
    page.OpenPaperList();
    page.show();
    settle();
    page.choosePaper(0, 1);
    page.paperList->selectRow(0);
    save(&page, "exam-page-history");
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: exam_screenshots <bank.dbf> <content folder> <output folder>\n");
        return 2;
    }
    InstallChineseFontSubstitutes();
    ShotPlatform platform;
    g_platform = &platform;
    g_out = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(g_out);
    QTemporaryDir scratch;
    const QString bankCopy = scratch.path() + QStringLiteral("/kjks.dbf");
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), bankCopy)) {
        std::fprintf(stderr, "cannot copy the bank\n");
        return 1;
    }
    launchParameters().AppDir = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + QLatin1Char('/');
    try {
        BankSession form;
        form.OpenBank(bankCopy);
        setBankSession(&form);
        form.LoadExamProfile(QStringLiteral("1"));
        form.LoadExamOptions();
        setApplicationTitle(form.GetOption(QStringLiteral("APP_TITLE")));
        examWindow();
        timeOut();
        mockExamPage();
        setBankSession(nullptr);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    for (const auto &box : platform.boxes)
        std::fprintf(stderr, "box: %s\n", qPrintable(box.text));
    return 0;
}
