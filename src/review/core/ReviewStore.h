#pragma once

#include "QuestionTypes.h"
#include "ReviewSchedule.h"

#include <QDateTime>
#include <QString>
#include <set>
#include <vector>

class SqlDatabase;

// The review schedule in the bank, in tables of the program's own:
//   kjks_app_review_log    one row per review: question, time, grade, elapsed days, S and D after
//   kjks_app_review_state  per question its current D, S, last review and due day
//   kjks_app_settings      the learner's settings (name, value)
// A question is kjks_tigan's tigan_id, or a case stem's zongtigan ID (is_stem 1): a case is
// reviewed by its stem.

struct ReviewItem {
    int id = 0;
    bool stem = false;
};

// Local calendar day of a time, as the schedule counts days.
qint64 ReviewDay(const QDateTime &time);

// Creates the tables and the queue's index when the bank lacks them.
void EnsureReviewTables(SqlDatabase &db);

// The stored settings; a missing or unusable value reads as its default.
ReviewSettings ReadReviewSettings(SqlDatabase &db);
// Stores the desired retention; throws KjksError (with the learner's message) outside 0.80–0.97.
void SaveDesiredRetention(SqlDatabase &db, double retention);

// Records one review: a log row and the question's new state. Runs on the caller's transaction,
// the one that writes the answer's counters, so the review and the answer are kept together.
ReviewStep RecordReview(SqlDatabase &db, const ReviewItem &item, bool right, const QDateTime &at);

// The question's stored state, if it was ever reviewed.
std::optional<ReviewState> ReadReviewState(SqlDatabase &db, const ReviewItem &item);

// The daily queue: questions answered wrong at least once, due today (or overdue) and due in the
// seven days after today.
DueCounts CountDue(SqlDatabase &db, qint64 today);

// The rowids of the practice set of a type's questions due today, lowest retrievability first:
// kjks_tigan rows of the type, or zongtigan rows when the fourth type is practised as case stems.
std::vector<qint64> DueRowIds(SqlDatabase &db, QuestionType type, const QString &fourthTypeName, qint64 today);

// Due questions per day for the next `days` days, overdue ones today.
std::vector<int> DueForecast(SqlDatabase &db, qint64 today, int days);

// Reviews made on or after their due day, and how many of them were answered right.
struct DueReviewTally {
    int dueReviews = 0;
    int right = 0;
};
DueReviewTally TallyDueReviews(SqlDatabase &db);

// What the statistics page shows of the schedule: the forecast of the next `days` days, the due
// reviews so far, and the settings.
struct ReviewOverview {
    qint64 today = 0;
    std::vector<int> forecast;
    DueReviewTally tally;
    ReviewSettings settings;
    std::optional<double> measuredRetention() const { return MeasuredRetention(tally.dueReviews, tally.right); }
};
ReviewOverview LoadReviewOverview(SqlDatabase &db, qint64 today, int days = 30);

// The questions of the wrong-question list whose stability has reached the mastered threshold.
std::set<int> MasteredWrongQuestionIds(SqlDatabase &db, const ReviewSettings &settings);
