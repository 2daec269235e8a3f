#include "TestApp.h"

#include "BankSession.h"
#include "ExamProfile.h"
#include "Fonts.h"
#include "LaunchParameters.h"
#include "Platform.h"
#include "QtTranslation.h"

#include <QApplication>

QApplication &testApp() {
    static int argc = 1;
    static char name[] = "kjks-test";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        auto *a = new QApplication(argc, argv);
        InstallChineseFontSubstitutes();
        InstallQtTranslation();
        setFailureExplainer(&CurrentBankFailureText);
        return a;
    }();
    return *app;
}

void ResetProcessState() {
    launchParameters() = LaunchParameters{};
    examProfile() = ExamProfile{};
    setApplicationTitle(productTitle());
}
