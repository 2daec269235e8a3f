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

private:
    static bool headless();
};
