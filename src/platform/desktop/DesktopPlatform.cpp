#include "DesktopPlatform.h"

#include "CalculatorWindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <vector>

namespace {

QWidget *activeParent() {
    return QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
}

bool looksLikeAddress(const QString &target) {
    return target.contains(QStringLiteral("://")) || target.startsWith(QStringLiteral("www."), Qt::CaseInsensitive) ||
           target.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive);
}

// The boxes open now, innermost last, so that closeBoxes() reaches them.
std::vector<QPointer<QMessageBox>> &openBoxes() {
    static std::vector<QPointer<QMessageBox>> boxes;
    return boxes;
}

// Runs a box modally and keeps it on the open list while it is up.
void runBox(QMessageBox &box) {
    openBoxes().emplace_back(&box);
    box.exec();
    auto &boxes = openBoxes();
    boxes.erase(std::remove(boxes.begin(), boxes.end(), QPointer<QMessageBox>(&box)), boxes.end());
}

} // namespace

// Without a screen (the offscreen platform) nobody can answer a box: its text goes to the error
// stream instead, and confirmations are declined.
bool DesktopPlatform::headless() {
    return QGuiApplication::platformName() == QStringLiteral("offscreen");
}

void DesktopPlatform::messageBox(BoxKind kind, const QString &text) {
    if (headless()) {
        qWarning("%s: %s", qUtf8Printable(applicationTitle()), qUtf8Printable(text));
        return;
    }
    QMessageBox box(activeParent());
    box.setWindowTitle(applicationTitle());
    box.setTextFormat(Qt::PlainText); // a detail line may quote a bank's text
    box.setText(text);
    box.setIcon(kind == BoxKind::Error   ? QMessageBox::Critical
                : kind == BoxKind::Plain ? QMessageBox::NoIcon
                                         : QMessageBox::Information);
    box.setStandardButtons(QMessageBox::Ok);
    runBox(box);
}

bool DesktopPlatform::confirmBox(const QString &text) {
    if (headless()) {
        qWarning("%s: %s", qUtf8Printable(applicationTitle()), qUtf8Printable(text));
        return false;
    }
    QMessageBox box(activeParent());
    box.setWindowTitle(applicationTitle());
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(QMessageBox::Information);
    QPushButton *ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    runBox(box);
    return box.clickedButton() == ok;
}

bool DesktopPlatform::questionBox(const QString &caption, const QString &text) {
    if (headless()) {
        qWarning("%s: %s", qUtf8Printable(caption), qUtf8Printable(text));
        return false;
    }
    QMessageBox box(activeParent());
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    QPushButton *ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    runBox(box);
    return box.clickedButton() == ok;
}

// A box closed this way has no clicked button: a confirmation answers no.
void DesktopPlatform::closeBoxes() {
    const auto boxes = openBoxes();
    for (auto it = boxes.rbegin(); it != boxes.rend(); ++it)
        if (*it) (*it)->done(QDialog::Rejected);
}

ShellTarget ClassifyShellRequest(const QString &request) {
    using Kind = ShellTarget::Kind;
    // A name enclosed in double quotes is the name itself, as the shell reads it.
    QString target = request.trimmed();
    if (target.size() >= 2 && target.startsWith(QLatin1Char('"')) && target.endsWith(QLatin1Char('"')))
        target = target.mid(1, target.size() - 2).trimmed();
    if (target.isEmpty()) return {};
    if (target.compare(QStringLiteral("Calc.EXE"), Qt::CaseInsensitive) == 0) return {Kind::Calculator, target};
    if (looksLikeAddress(target)) return {Kind::Address, target};
    const QFileInfo fi(target);
    if (!fi.exists()) return {};
    if (fi.isFile() && fi.isExecutable()) return {Kind::Program, fi.absoluteFilePath()};
    return {Kind::Document, fi.absoluteFilePath()};
}

bool DesktopPlatform::shellOpen(const QString &request) {
    const ShellTarget target = ClassifyShellRequest(request);
    switch (target.kind) {
    case ShellTarget::Kind::Nothing:
        return false;
    case ShellTarget::Kind::Calculator: {
        // Many desktops have no calculator program, and the exam gives its own: the built-in one.
        return ShowCalculator() != nullptr;
    }
    case ShellTarget::Kind::Address: {
        const QUrl url = QUrl::fromUserInput(target.target);
        return url.isValid() && QDesktopServices::openUrl(url);
    }
    case ShellTarget::Kind::Program:
        return QProcess::startDetached(target.target, {}, QFileInfo(target.target).absolutePath());
    case ShellTarget::Kind::Document:
        return QDesktopServices::openUrl(QUrl::fromLocalFile(target.target));
    }
    return false;
}

bool DesktopPlatform::startProgram(const QString &path, bool visible) {
    const QFileInfo fi(path);
    if (!fi.isFile() || !fi.isExecutable()) return false;
    QProcess process;
    process.setProgram(fi.absoluteFilePath());
    process.setWorkingDirectory(fi.absolutePath());
    if (!visible) {
        // Without a window: no terminal output either.
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
    }
    return process.startDetached();
}

void DesktopPlatform::processEvents() {
    QApplication::processEvents(QEventLoop::AllEvents);
}

void DesktopPlatform::pause(int ms) {
    QElapsedTimer timer;
    timer.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, qMax(1, ms));
        if (timer.elapsed() < ms) QThread::msleep(1);
    } while (timer.elapsed() < ms);
}

QDateTime DesktopPlatform::now() {
    return QDateTime::currentDateTime();
}

quint64 DesktopPlatform::seedCounter() {
    return quint64(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

void DesktopPlatform::setBusy(bool busy) {
    if (!busy) {
        QApplication::restoreOverrideCursor();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // A box that just closed is repainted away before the wait begins.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
