// FSRS-6: a word's memory is its stability S (days until recall falls to
// 90 %) and difficulty D (1 to 10); its retrievability R after t days
// follows a power forgetting curve. Each review updates S and D from the
// grade and from R on the review day.
#include "record/fsrs.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kWeights[21] = {0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                                 0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                                 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
constexpr double kDesiredRetention = 0.9;
constexpr int kMaxInterval = kLongestIntervalDays;

double w(int i) {
    return kWeights[i];
}

double decay() {
    return -w(20);
}

// Chosen so that R(S, S) = 0.9 for every decay.
double curveFactor() {
    return std::pow(0.9, 1 / decay()) - 1;
}

double retrievability(double elapsedDays, double stability) {
    return std::pow(1 + curveFactor() * elapsedDays / stability, decay());
}

double clampDifficulty(double d) {
    return std::clamp(d, 1.0, 10.0);
}

double clampStability(double s) {
    return std::clamp(s, kMinStability, kMaxStability);
}

int gradeValue(Grade g) {
    return static_cast<int>(g);
}

// Unclamped: mean reversion pulls towards Easy's raw value, below 1.
double rawInitialDifficulty(int g) {
    return w(4) - std::exp(w(5) * (g - 1)) + 1;
}

double nextDifficulty(double d, int g) {
    double delta = -w(6) * (g - 3);
    double damped = d + delta * (10 - d) / 9;
    double reverted = w(7) * rawInitialDifficulty(4) + (1 - w(7)) * damped;
    return clampDifficulty(reverted);
}

double stabilityAfterRecall(double d, double s, double r, int g) {
    double hardPenalty = g == 2 ? w(15) : 1;
    double easyBonus = g == 4 ? w(16) : 1;
    return s * (std::exp(w(8)) * (11 - d) * std::pow(s, -w(9)) * (std::exp(w(10) * (1 - r)) - 1) *
                    hardPenalty * easyBonus +
                1);
}

double stabilityAfterLapse(double d, double s, double r) {
    double longTerm = w(11) * std::pow(d, -w(12)) * (std::pow(s + 1, w(13)) - 1) * std::exp(w(14) * (1 - r));
    return std::min(longTerm, s / std::exp(w(17) * w(18)));
}

// A second review on the same day: the memory has had no time to decay.
double stabilityShortTerm(double s, int g) {
    double increase = std::exp(w(17) * (g - 3 + w(18))) * std::pow(s, -w(19));
    if (g >= 3) increase = std::max(increase, 1.0);
    return s * increase;
}

}  // namespace

int intervalDays(double stability) {
    if (!(stability > 0)) return 1;  // also catches NaN from a damaged record
    double days = stability / curveFactor() * (std::pow(kDesiredRetention, 1 / decay()) - 1);
    return static_cast<int>(std::clamp(std::round(days), 1.0, double(kMaxInterval)));
}

ReviewState reviewWord(const ReviewState& before, Grade grade, int day) {
    int g = std::clamp(gradeValue(grade), 1, 4);
    ReviewState after = before;
    bool fresh = before.isNew || !(before.stability > 0) || !std::isfinite(before.stability) ||
                 !std::isfinite(before.difficulty);
    if (fresh) {
        after.stability = clampStability(w(g - 1));
        after.difficulty = clampDifficulty(rawInitialDifficulty(g));
    } else {
        double d = clampDifficulty(before.difficulty);
        double s = clampStability(before.stability);
        // A clock set back makes the elapsed time negative; treat it as the same day.
        int elapsed = std::max(0, day - before.lastDay);
        if (elapsed == 0) {
            after.stability = stabilityShortTerm(s, g);
        } else {
            double r = retrievability(elapsed, s);
            after.stability = g == 1 ? stabilityAfterLapse(d, s, r) : stabilityAfterRecall(d, s, r, g);
        }
        after.stability = clampStability(after.stability);
        after.difficulty = nextDifficulty(d, g);
        if (g == 1) after.lapses += 1;
    }
    after.isNew = false;
    after.lastDay = day;
    after.dueDay = day + intervalDays(after.stability);
    after.reviews += 1;
    return after;
}
