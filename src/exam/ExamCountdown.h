#pragma once

#include <QtGlobal>

// The exam time counted down to a deadline on the platform's monotonic clock: a busy or suspended
// event loop does not make the exam longer, and tests move the clock instead of waiting.
class ExamCountdown {
public:
    // Starts (or restarts) with this many seconds left.
    void start(int seconds);
    // Freezes the time left where it is.
    void stop();
    bool running() const { return m_running; }
    // Whole seconds left, rounded up (a second is shown until it has fully passed); never below 0.
    int remainingSeconds() const;
    bool expired() const { return remainingSeconds() == 0; }

private:
    qint64 remainingMs() const;

    bool m_running = false;
    qint64 m_deadlineMs = 0;
    qint64 m_frozenMs = 0;
};
