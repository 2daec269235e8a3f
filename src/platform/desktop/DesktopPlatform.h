#pragma once

#include "Platform.h"

#include <QStringList>

// The platform services on a real desktop: Qt message boxes, the desktop's default handlers,
// detached processes.
class DesktopPlatform : public PlatformServices {
public:
    void messageBox(BoxKind kind, const QString &text) override;
    bool confirmBox(const QString &text) override;
    bool questionBox(const QString &caption, const QString &text) override;
    bool shellOpen(const QString &target) override;
    bool startProgram(const QString &path, bool visible) override;
    void processEvents() override;
    void pause(int ms) override;
    QDateTime now() override;
    quint64 seedCounter() override;
    void setBusy(bool busy) override;
    void closeBoxes() override;

private:
    static bool headless();
};

// What the shell makes of a request to open something: nothing (an empty name or a file that does
// not exist), the calculator ("Calc.EXE" in any case), an address for the browser or mail program,
// a program to start in its own folder, or a document for its default handler. A name enclosed in
// double quotes is the name itself; `target` is the address as given or the file's absolute path.
struct ShellTarget {
    enum class Kind { Nothing, Calculator, Address, Program, Document };
    Kind kind = Kind::Nothing;
    QString target;
};
ShellTarget ClassifyShellRequest(const QString &request);
