#pragma once

#include "Platform.h"

#include <QDateTime>

// The clock and seed seams without a desktop: boxes say nothing, confirmations answer OK, and each
// seed differs from the last.
class BenchPlatform : public PlatformServices {
public:
    void messageBox(BoxKind, const QString &) override {}
    bool confirmBox(const QString &) override { return true; }
    bool shellOpen(const QString &) override { return false; }
    bool startProgram(const QString &, bool) override { return false; }
    void processEvents() override {}
    void pause(int) override {}
    QDateTime now() override { return QDateTime::currentDateTime(); }
    quint64 seedCounter() override { return ++m_seed; }

private:
    quint64 m_seed = 0;
};
