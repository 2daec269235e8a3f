#include "ExamCountdown.h"

#include "Platform.h"

void ExamCountdown::start(int seconds) {
    m_deadlineMs = platform().monotonicMs() + qint64(qMax(0, seconds)) * 1000;
    m_running = true;
}

void ExamCountdown::stop() {
    if (!m_running) return;
    m_frozenMs = remainingMs();
    m_running = false;
}

qint64 ExamCountdown::remainingMs() const {
    if (!m_running) return m_frozenMs;
    return qMax<qint64>(0, m_deadlineMs - platform().monotonicMs());
}

int ExamCountdown::remainingSeconds() const {
    return int((remainingMs() + 999) / 1000);
}
