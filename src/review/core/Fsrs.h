#pragma once

// The memory model behind spaced review, FSRS-5 with its published default parameters, as
// functions of values. A question's memory is a difficulty D (1–10) and a stability S (days until
// the chance of recall falls to 90 %); each review is graded "again" (answered wrong) or "good"
// (answered right). See docs/spaced-review.md.
namespace fsrs {

enum class Grade { Again = 1, Good = 3 };

struct MemoryState {
    double difficulty = 0;
    double stability = 0;
};

// The chance of recall t days after the last review: (1 + F·t/S)^C, F = 19/81, C = −0.5.
double Retrievability(double elapsedDays, double stability);

// The state after a question's first review.
MemoryState FirstReview(Grade grade);

// The state after a later review `elapsedDays` whole days after the one before; 0 days is a
// review on the same day, which changes stability by the short-term rule only.
MemoryState NextReview(const MemoryState &before, Grade grade, int elapsedDays);

// Whole days until the chance of recall falls to `desiredRetention`: at least 1, at most 36500.
int IntervalDays(double stability, double desiredRetention);

} // namespace fsrs
