#pragma once

#include "Platform.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

// Platform services for tests: records every box and request, answers confirmations from a queue
// (OK when the queue is empty), never blocks. `whileOpen`, when set, runs inside every box as the
// events that come while the box is up (a timer firing, a click elsewhere).
class RecordingPlatform : public PlatformServices {
public:
    struct Box {
        BoxKind kind;
        QString text;
        QString caption;
        bool closedByProgram = false; // closed through closeBoxes() before it was answered
        int openBelow = 0;            // boxes already open under it (0: it stacks on none)
    };

    RecordingPlatform() { setPlatform(this); }
    ~RecordingPlatform() override { setPlatform(nullptr); }

    void messageBox(BoxKind kind, const QString &text) override { show({kind, text, applicationTitle()}); }
    bool confirmBox(const QString &text) override { return show({BoxKind::Confirm, text, applicationTitle()}); }
    bool questionBox(const QString &caption, const QString &text) override {
        return show({BoxKind::Confirm, text, caption});
    }
    void closeBoxes() override { ++m_closings; }
    bool shellOpen(const QString &target) override {
        opened << target;
        return shellOpenResult;
    }
    bool startProgram(const QString &path, bool visible) override {
        started << path + (visible ? QStringLiteral(" [visible]") : QStringLiteral(" [hidden]"));
        return startResult;
    }
    void processEvents() override;
    void pause(int ms) override {
        pausedMs += ms;
        processEvents();
    }
    QDateTime now() override { return clock; }
    quint64 seedCounter() override { return seed++; }
    // Moved by the test: countdowns read it.
    qint64 monotonicMs() override { return monotonic; }

    // Texts of the boxes shown, in order.
    QStringList texts() const {
        QStringList out;
        for (const Box &b : boxes)
            out << b.text;
        return out;
    }

    std::vector<Box> boxes;
    std::deque<bool> confirmAnswers;
    bool shellOpenResult = true;
    bool startResult = true;
    QStringList opened;
    QStringList started;
    int pausedMs = 0;
    QDateTime clock = QDateTime(QDate(2026, 5, 16), QTime(9, 0, 0));
    quint64 seed = 12345;
    qint64 monotonic = 1000000;
    std::function<void(const Box &)> whileOpen;

private:
    // Records the box, lets `whileOpen` run while it is up, then answers it: no when it was closed
    // meanwhile, else from the queue.
    bool show(Box box);
    int m_closings = 0;
};
