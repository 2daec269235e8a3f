#pragma once

#include "Platform.h"

#include <QStringList>
#include <deque>
#include <vector>

// Platform services for tests: records every box and request, answers confirmations from a queue
// (OK when the queue is empty), never blocks.
class RecordingPlatform : public PlatformServices {
public:
    struct Box {
        BoxKind kind;
        QString text;
        QString caption;
    };

    RecordingPlatform() { setPlatform(this); }
    ~RecordingPlatform() override { setPlatform(nullptr); }

    void messageBox(BoxKind kind, const QString &text) override { boxes.push_back({kind, text, applicationTitle()}); }
    bool confirmBox(const QString &text) override {
        boxes.push_back({BoxKind::Confirm, text, applicationTitle()});
        if (confirmAnswers.empty()) return true;
        const bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    bool questionBox(const QString &caption, const QString &text) override {
        boxes.push_back({BoxKind::Confirm, text, caption});
        if (confirmAnswers.empty()) return true;
        const bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
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
};
