#include "Application.h"

#include "BankSession.h"
#include "DesktopPlatform.h"
#include "Fonts.h"
#include "Guide.h"
#include "MainWindow.h"
#include "Platform.h"
#include "QtTranslation.h"
#include "SingleInstance.h"

#include <QApplication>
#include <memory>

int RunApplication(int argc, char *argv[]) {
    QApplication app(argc, argv);
    InstallChineseFontSubstitutes();
    InstallQtTranslation();
    DesktopPlatform desktop;
    setPlatform(&desktop);
    setApplicationTitle(productTitle());

    // A second start on the same bank says so and ends before it touches the bank.
    BankInstanceLock instance(BankPathForExecutable(QCoreApplication::applicationFilePath()));
    switch (instance.acquire()) {
    case BankInstanceLock::Outcome::Acquired:
        break;
    case BankInstanceLock::Outcome::HeldElsewhere:
        ShowInfoBox(AlreadyRunningText());
        setPlatform(nullptr);
        return kAlreadyRunningExitStatus;
    case BankInstanceLock::Outcome::Unusable:
        ShowErrorBox(instance.problem());
        setPlatform(nullptr);
        return 1;
    }

    MainWindow form(QCoreApplication::applicationFilePath());

    auto data = std::make_unique<BankSession>();
    try {
        data->OpenBesideExecutable(QCoreApplication::applicationFilePath());
    } catch (const std::exception &e) {
        // Nothing is shown and nothing is written: the bank is missing, unusable or read-only.
        ShowErrorBox(StartupFailureText(e, BankPathForExecutable(QCoreApplication::applicationFilePath())));
        setPlatform(nullptr);
        return 1;
    }
    setBankSession(data.get());
    setFailureExplainer(&CurrentBankFailureText);

    // The window is filled from the bank before it is shown: a bank that fails on the way (a
    // damaged page, an unusable exam profile) ends the program instead of leaving half a window.
    try {
        form.PrepareFirstShowing();
    } catch (const std::exception &e) {
        ShowErrorBox(StartupFailureText(e, BankPathForExecutable(QCoreApplication::applicationFilePath())));
        setBankSession(nullptr);
        setPlatform(nullptr);
        return 1;
    }
    form.show();
    // The guide opens by itself the first time a learner starts on this bank.
    try {
        if (!GuideSeen(data->db)) {
            form.showGuide();
            MarkGuideSeen(data->db);
        }
    } catch (const std::exception &) {
        // A bank that refuses the note shows the guide again next time; nothing else depends on it.
    }
    const int status = app.exec();
    setBankSession(nullptr);
    setPlatform(nullptr);
    return status;
}
