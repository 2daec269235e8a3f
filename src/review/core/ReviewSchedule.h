#pragma once

#include "Fsrs.h"

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

// The review schedule of one question as values: what a review does to its stored state, when it
// is due, and the figures the pages show. Days are local calendar days (Julian day numbers).

// The learner's settings: the chance of recall at which a question comes back, and the stability
// from which a question counts as mastered.
struct ReviewSettings {
    static constexpr double kMinRetention = 0.80;
    static constexpr double kMaxRetention = 0.97;
    double desiredRetention = 0.90;
    double masteredDays = 30;
};
bool IsValidRetention(double retention);

// The stored state of a question after its reviews.
struct ReviewState {
    fsrs::MemoryState memory;
    qint64 lastDay = 0;
    qint64 dueDay = 0;
    int lapses = 0; // reviews answered wrong: a question comes into the daily queue with its first
};

// One review and what it leaves behind.
struct ReviewStep {
    ReviewState after;
    fsrs::Grade grade = fsrs::Grade::Good;
    std::optional<int> elapsedDays; // none on the first review
    bool wasDue = false;            // reviewed on or after its due day (not on its first review)
};
ReviewStep ApplyReview(const std::optional<ReviewState> &before, bool right, qint64 today, double desiredRetention);

bool IsMastered(double stability, const ReviewSettings &settings);
bool IsInQueue(const ReviewState &state);

// The daily queue's counts: due today (or overdue), and due in the seven days after today.
struct DueCounts {
    int today = 0;
    int nextSevenDays = 0;
};
// "今日到期 N 题，未来 7 天 M 题".
QString DueCountsText(const DueCounts &counts);

// The measured retention against the desired one, as the statistics page states it.
QString RetentionText(std::optional<double> measured, int dueReviews, double desired);

// Due questions per day for `days` days from today, from the (due day, count) pairs of the queue;
// what is overdue counts today.
std::vector<int> ForecastFromDueDays(const std::vector<std::pair<qint64, int>> &dueDays, qint64 today, int days);

// The measured retention: the share of due reviews answered right; none before the first.
std::optional<double> MeasuredRetention(int dueReviews, int rightOfThem);
