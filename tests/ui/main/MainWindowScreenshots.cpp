// Grabs every page of the main window at a small screen's size, the design size and a large
// screen's size to PNG files, for looking at the layout on a real display (run under Xvfb; with
// QT_SCALE_FACTOR=2 for a 200 % screen):
//
//   main_window_screenshots <bank.dbf> <content folder> <output folder>
//
// The bank is copied first, so nothing written here reaches the given bank.

#include "BankSession.h"
#include "Fonts.h"
#include "MainWindow.h"
#include "RecordingPlatform.h"
#include "Screenshots.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: main_window_screenshots <bank.dbf> <content folder> <output folder>\n");
        return 2;
    }
    InstallChineseFontSubstitutes();
    RecordingPlatform platform;
    const QString out = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(out);
    QTemporaryDir scratch;
    // The program folder: the content's documents and pictures beside a copy of the bank.
    const QString folder = scratch.path() + QStringLiteral("/");
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), folder + QStringLiteral("kjks.dbf"))) {
        std::fprintf(stderr, "cannot copy the bank\n");
        return 1;
    }
    const QString content = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QFile::link(content + QStringLiteral("/doc"), folder + QStringLiteral("doc"));
    try {
        BankSession session;
        session.OpenBank(folder + QStringLiteral("kjks.dbf"));
        setBankSession(&session);
        MainWindow window(folder + QStringLiteral("kjks"));
        window.PrepareFirstShowing();
        window.show();
        const char *pageNames[] = {"home", "documents", "chapters", "mock-exam", "wrong", "favourites"};
        for (const QSize &size : {QSize(1024, 698), QSize(1013, 732), QSize(1920, 1040)}) {
            window.resize(size);
            for (int entry = 1; entry <= 6; ++entry) {
                window.navigate(entry);
                SaveWidgetShot(&window, out + QStringLiteral("/main-%1-%2.png")
                                                  .arg(QString::fromLatin1(pageNames[entry - 1]))
                                                  .arg(size.width()));
            }
            window.showStatistics();
            SaveWidgetShot(&window, out + QStringLiteral("/main-statistics-%1.png").arg(size.width()));
        }
        window.resize(1013, 732);
        window.showGuide();
        if (auto *guide = window.findChild<QDialog *>(QStringLiteral("guide")))
            SaveWidgetShot(guide, out + QStringLiteral("/main-guide.png"));
        window.showAbout();
        if (auto *about = window.findChild<QDialog *>(QStringLiteral("about")))
            SaveWidgetShot(about, out + QStringLiteral("/main-about.png"));
        setBankSession(nullptr);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
