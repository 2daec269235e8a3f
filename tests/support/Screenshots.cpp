#include "Screenshots.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QTest>
#include <QWidget>

#include <cstdio>

void SettleEvents(int waitMs) {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(waitMs);
    }
}

bool SaveShot(const QPixmap &pixmap, const QString &path) {
    if (!pixmap.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool SaveWidgetShot(QWidget *widget, const QString &path) {
    SettleEvents();
    return SaveShot(widget->grab(), path);
}
