#include "TestApp.h"

#include "Fonts.h"

#include <QApplication>

QApplication &testApp() {
    static int argc = 1;
    static char name[] = "kjks-test";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        auto *a = new QApplication(argc, argv);
        InstallChineseFontSubstitutes();
        return a;
    }();
    return *app;
}
