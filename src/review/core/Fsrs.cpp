#include "Fsrs.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace fsrs {
namespace {

// FSRS-5 default parameters w0 … w18.
constexpr std::array<double, 19> w{0.40255, 1.18385, 3.173, 15.69105, 7.1949, 0.5345, 1.4604, 0.0046,  1.54575, 0.1192,
                                   1.01925, 1.9395,  0.11,  0.29605,  2.2698, 0.2315, 2.9898, 0.51655, 0.6621};
constexpr double kFactor = 19.0 / 81.0;
constexpr double kDecay = -0.5;
constexpr double kMinStability = 0.01;
constexpr int kMaxInterval = 36500;

double clampDifficulty(double d) {
    return std::clamp(d, 1.0, 10.0);
}

double initialDifficulty(int g) {
    return w[4] - std::exp(w[5] * (g - 1)) + 1;
}

double nextDifficulty(double d, int g) {
    const double delta = -w[6] * (g - 3);
    // Linear damping: the nearer D is to 10, the less a wrong answer raises it.
    const double damped = d + delta * (10 - d) / 9;
    // Mean reversion towards the difficulty of a first "easy".
    return clampDifficulty(w[7] * initialDifficulty(4) + (1 - w[7]) * damped);
}

double stabilityAfterRecall(double d, double s, double r) {
    return s * (std::exp(w[8]) * (11 - d) * std::pow(s, -w[9]) * (std::exp(w[10] * (1 - r)) - 1) + 1);
}

double stabilityAfterLapse(double d, double s, double r) {
    const double forgotten = w[11] * std::pow(d, -w[12]) * (std::pow(s + 1, w[13]) - 1) * std::exp(w[14] * (1 - r));
    // A lapse never leaves a memory stronger than a same-day "again" would.
    return std::min(std::max(forgotten, kMinStability), s / std::exp(w[17] * w[18]));
}

} // namespace

double Retrievability(double elapsedDays, double stability) {
    return std::pow(1 + kFactor * elapsedDays / stability, kDecay);
}

MemoryState FirstReview(Grade grade) {
    const int g = int(grade);
    return {clampDifficulty(initialDifficulty(g)), std::max(w[size_t(g - 1)], kMinStability)};
}

MemoryState NextReview(const MemoryState &before, Grade grade, int elapsedDays) {
    const int g = int(grade);
    MemoryState after;
    if (elapsedDays <= 0) {
        after.stability = std::max(before.stability * std::exp(w[17] * (g - 3 + w[18])), kMinStability);
    } else {
        const double r = Retrievability(elapsedDays, before.stability);
        after.stability = grade == Grade::Good ? stabilityAfterRecall(before.difficulty, before.stability, r)
                                               : stabilityAfterLapse(before.difficulty, before.stability, r);
    }
    after.difficulty = nextDifficulty(before.difficulty, g);
    return after;
}

int IntervalDays(double stability, double desiredRetention) {
    const double days = stability / kFactor * (std::pow(desiredRetention, 1 / kDecay) - 1);
    return int(std::clamp(std::round(days), 1.0, double(kMaxInterval)));
}

} // namespace fsrs
