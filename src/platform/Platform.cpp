#include "Platform.h"

#include <QElapsedTimer>
#include <QThread>
#include <chrono>

namespace {

// Until the desktop services are installed (or in a program without windows) boxes go to stderr.
class ConsoleServices : public PlatformServices {
public:
    void messageBox(BoxKind, const QString &text) override { qWarning("%s", qUtf8Printable(text)); }
    bool confirmBox(const QString &text) override {
        qWarning("%s", qUtf8Printable(text));
        return false;
    }
    bool shellOpen(const QString &) override { return false; }
    bool startProgram(const QString &, bool) override { return false; }
    void processEvents() override {}
    void pause(int ms) override { QThread::msleep(ulong(ms > 0 ? ms : 0)); }
    QDateTime now() override { return QDateTime::currentDateTime(); }
    quint64 seedCounter() override {
        return quint64(std::chrono::steady_clock::now().time_since_epoch().count());
    }
};

ConsoleServices g_console;
PlatformServices *g_services = &g_console;
QString &titleStore() {
    static QString title = productTitle();
    return title;
}

} // namespace

qint64 PlatformServices::monotonicMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

PlatformServices &platform() { return *g_services; }
void setPlatform(PlatformServices *services) { g_services = services ? services : &g_console; }

QString productTitle() { return QStringLiteral("初级会计实务考试练习系统"); }
QString applicationTitle() { return titleStore(); }
void setApplicationTitle(const QString &title) { titleStore() = title; }

void ShowInfoBox(const QString &text) { platform().messageBox(PlatformServices::BoxKind::Info, text); }
void ShowErrorBox(const QString &text) { platform().messageBox(PlatformServices::BoxKind::Error, text); }
bool ConfirmBox(const QString &text) { return platform().confirmBox(text); }
bool QuestionBox(const QString &caption, const QString &text) { return platform().questionBox(caption, text); }
void ShowMessage(const QString &text) { platform().messageBox(PlatformServices::BoxKind::Plain, text); }
bool ShellOpen(const QString &target) { return platform().shellOpen(target); }
