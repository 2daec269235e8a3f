// The memory model and a question's schedule as values. The figures of the table come from
// fsrs_reference.py in this folder, an independent computation from the model's published formulas.

#include "Fsrs.h"
#include "ReviewSchedule.h"

#include <gtest/gtest.h>

namespace {

using fsrs::Grade;

struct Step {
    Grade grade;
    int elapsedDays; // since the review before (ignored on the first)
};

struct Sequence {
    std::vector<Step> steps;
    double stability, difficulty;
    int interval90, interval80;
};

constexpr Grade A = Grade::Again;
constexpr Grade G = Grade::Good;

TEST(ReviewModel, GradeSequencesGiveTheReferenceStabilitiesAndIntervals) {
    const Sequence table[] = {
        {{{G, 0}}, 3.1730, 5.2824, 3, 8},
        {{{A, 0}}, 0.4026, 7.1949, 1, 1},
        {{{G, 0}, {G, 3}}, 10.7389, 5.2730, 11, 26},
        {{{A, 0}, {G, 1}}, 2.2650, 7.1766, 2, 5},
        {{{A, 0}, {G, 1}, {G, 3}, {G, 8}}, 19.4275, 7.1404, 19, 47},
        {{{G, 0}, {G, 3}, {A, 10}}, 2.1464, 6.7906, 2, 5}, // a lapse after two recalls
        {{{A, 0}, {A, 0}, {G, 0}}, 0.2839, 8.0604, 1, 1},  // same-day reviews
        {{{G, 0}, {G, 3}, {G, 11}, {G, 35}}, 100.7483, 5.2542, 101, 242},
        {{{A, 0}, {G, 1}, {A, 2}, {G, 1}, {G, 2}}, 5.0081, 8.0260, 5, 12},
    };
    for (const Sequence &s : table) {
        fsrs::MemoryState state = fsrs::FirstReview(s.steps.front().grade);
        for (size_t i = 1; i < s.steps.size(); ++i)
            state = fsrs::NextReview(state, s.steps[i].grade, s.steps[i].elapsedDays);
        const std::string name = "sequence of " + std::to_string(s.steps.size()) + ", S " + std::to_string(s.stability);
        EXPECT_NEAR(state.stability, s.stability, 5e-4) << name;
        EXPECT_NEAR(state.difficulty, s.difficulty, 5e-4) << name;
        EXPECT_EQ(fsrs::IntervalDays(state.stability, 0.90), s.interval90) << name;
        EXPECT_EQ(fsrs::IntervalDays(state.stability, 0.80), s.interval80) << name;
    }
}

TEST(ReviewModel, RetrievabilityIsNinetyPercentAfterStabilityDays) {
    EXPECT_DOUBLE_EQ(fsrs::Retrievability(0, 5), 1.0);
    EXPECT_NEAR(fsrs::Retrievability(5, 5), 0.9, 1e-12);
    EXPECT_NEAR(fsrs::Retrievability(40, 10), std::pow(1 + 19.0 / 81 * 4, -0.5), 1e-12);
    EXPECT_EQ(fsrs::IntervalDays(1e9, 0.9), 36500) << "capped";
}

TEST(ReviewSchedule, AReviewMovesTheDueDayAndCountsLapses) {
    const qint64 day = 2461000;
    const ReviewStep first = ApplyReview(std::nullopt, false, day, 0.9);
    EXPECT_FALSE(first.elapsedDays.has_value());
    EXPECT_FALSE(first.wasDue);
    EXPECT_EQ(first.grade, Grade::Again);
    EXPECT_EQ(first.after.lapses, 1);
    EXPECT_EQ(first.after.dueDay, day + 1);
    EXPECT_TRUE(IsInQueue(first.after));

    const ReviewStep early = ApplyReview(first.after, true, day, 0.9);
    EXPECT_EQ(early.elapsedDays, 0);
    EXPECT_FALSE(early.wasDue) << "reviewed before its due day";

    const ReviewStep late = ApplyReview(first.after, true, day + 4, 0.9);
    EXPECT_EQ(late.elapsedDays, 4);
    EXPECT_TRUE(late.wasDue);
    EXPECT_EQ(late.after.lapses, 1);
    EXPECT_EQ(late.after.lastDay, day + 4);
    EXPECT_EQ(late.after.dueDay, day + 4 + fsrs::IntervalDays(late.after.memory.stability, 0.9));

    const ReviewStep backwards = ApplyReview(late.after, true, day, 0.9);
    EXPECT_EQ(backwards.elapsedDays, 0) << "a clock set back counts as the same day";

    EXPECT_FALSE(IsInQueue(ApplyReview(std::nullopt, true, day, 0.9).after)) << "never wrong, never queued";
}

TEST(ReviewSchedule, SettingsForecastAndRetention) {
    for (double r : {0.80, 0.85, 0.9, 0.97})
        EXPECT_TRUE(IsValidRetention(r)) << r;
    for (double r : {0.79, 0.98, 0.905, 0.0, 1.0, std::nan("")})
        EXPECT_FALSE(IsValidRetention(r)) << r;
    ReviewSettings settings;
    EXPECT_TRUE(IsMastered(30, settings));
    EXPECT_FALSE(IsMastered(29.99, settings));

    const qint64 today = 100;
    EXPECT_EQ(ForecastFromDueDays({{90, 2}, {100, 1}, {101, 4}, {104, 1}, {105, 9}}, today, 5),
              (std::vector<int>{3, 4, 0, 0, 1}))
        << "overdue today, beyond the last day left out";

    EXPECT_FALSE(MeasuredRetention(0, 0).has_value());
    EXPECT_DOUBLE_EQ(*MeasuredRetention(8, 6), 0.75);
}

} // namespace
