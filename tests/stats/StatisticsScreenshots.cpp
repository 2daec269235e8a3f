// Grabs the main window's statistics page, one PNG per tab, for looking at the layout on a real
// display (run under Xvfb):
//
//   statistics_screenshots <bank.dbf> <output folder>
//
// The bank (the sample bank) is copied to a temporary folder and given some practice progress and
// two handed-in papers before the window opens; the given file is left as it was.

#include "BankSession.h"
#include "Fonts.h"
#include "HomePage.h"
#include "LaunchParameters.h"
#include "MainWindow.h"
#include "RecordingPlatform.h"
#include "Screenshots.h"
#include "StatisticsPage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

void settle() {
    SettleEvents(30);
}

void save(QWidget *widget, const QString &path) {
    settle();
    SaveShot(widget->grab(), path);
}

// Practice in chapters 1 to 7 with accuracy falling and rising by section, a few favourites, two
// of the case stems, and two papers handed in a day apart.
void addProgress(SqlDatabase &db) {
    db.exec(QStringLiteral(
        "update kjks_tigan set YDCS = '1', ZONGCS = 2 + tigan_id % 4, ZQCS = 2 + tigan_id % 4 - (tigan_id + jie) % 3,"
        " DDCS = case when (tigan_id + jie) % 3 = 2 then '1' else '0' end"
        " where zhang between 1 and 7 and tigan_id % 5 <> 0 and ifnull(zongtimian, '') = ''"));
    db.exec(
        QStringLiteral("update kjks_tigan set shoucang = '1' where tigan_id % 11 = 0 and ifnull(zongtimian, '') = ''"));
    db.exec(QStringLiteral("update zongtigan set YDCS = '1', ZONGCS = 3, ZQCS = 1, DDCS = '1' where id in (901, 907)"));
    db.exec(QStringLiteral("insert into kjks_SJML (sjID, DTKSSJ, JJSJ, DEFEN, DanDeFen, DuoDeFen, PanDeFen, AnLiDeFen)"
                           " values (1, '2026-12-08 09:02:11', '2026-12-08 10:47:40', 52.2, 28, 10, 7, 7.2),"
                           " (2, '2026-12-09 19:30:05', '2026-12-09 21:05:52', 67.6, 36, 14, 8, 9.6)"));
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: statistics_screenshots <bank.dbf> <output folder>\n");
        return 2;
    }
    InstallChineseFontSubstitutes();
    RecordingPlatform platform; // boxes are recorded, never block
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    QTemporaryDir dir;
    const QString bank = dir.path() + QStringLiteral("/kjks.dbf");
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), bank)) {
        std::fprintf(stderr, "cannot copy the bank\n");
        return 1;
    }
    try {
        BankSession form;
        form.OpenBank(bank);
        setBankSession(&form);
        addProgress(form.db);
        MainWindow window(dir.path() + QStringLiteral("/kjks"));
        window.show();
        settle();
        QTest::mouseClick(window.homePage->statisticsButton(), Qt::LeftButton);
        StatisticsPage *page = window.statisticsPage();
        const char *names[] = {"overview", "chapters", "weak", "exams"};
        for (int i = 0; i < 4; ++i) {
            page->tabs->setCurrentIndex(i);
            save(&window,
                 out + QStringLiteral("/statistics-") + QString::fromLatin1(names[i]) + QStringLiteral(".png"));
        }
        setBankSession(nullptr);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    for (const auto &box : platform.boxes)
        std::fprintf(stderr, "box: %s\n", qPrintable(box.text));
    return 0;
}
