// One judged answer applied to an entry's history.
#include "record/word_history.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kLatestDay = 1000000;
constexpr int kMostReviews = 1000000000;

// A value that is no number at all takes `otherwise`.
double within(double value, double low, double high, double otherwise) {
    return std::isfinite(value) ? std::clamp(value, low, high) : otherwise;
}

}  // namespace

Grade gradeOf(bool correct, bool hintShown) {
    return correct && !hintShown ? Grade::Good : Grade::Again;
}

WordHistory afterAnswer(const WordHistory& before, bool correct, bool hintShown, int day,
                        long long answerId) {
    WordHistory after = before;
    after.review = reviewWord(before.review, gradeOf(correct, hintShown), day);
    after.lastCorrect = correct;
    after.lastRecalled = correct && !hintShown;
    if (!correct) {
        after.missedAnswer = answerId;
        after.rightDays = 0;
        after.lastRightDay = -1;
    } else if (!hintShown && before.missedAnswer > 0 && before.rightDays < kErrorBookLeavingDays &&
               day > before.lastRightDay) {
        // Only a later day counts: with a clock set back, a day already
        // counted could otherwise come round again.
        after.rightDays = before.rightDays + 1;
        after.lastRightDay = day;
    }
    return after;
}

bool wordMastered(const WordHistory& history, int today) {
    return history.lastRecalled && history.review.dueDay > today;
}

bool inErrorBook(const WordHistory& history) {
    return history.missedAnswer > 0 && history.rightDays < kErrorBookLeavingDays;
}

WordHistory boundedHistory(const WordHistory& stored) {
    WordHistory h = stored;
    ReviewState& r = h.review;
    // A lost stability is the shortest: the word comes back soon.
    r.stability = within(r.stability, kMinStability, kMaxStability, kMinStability);
    r.difficulty = within(r.difficulty, 1, 10, 10);
    r.lastDay = std::clamp(r.lastDay, 0, kLatestDay);
    r.dueDay = std::clamp(r.dueDay, 0, kLatestDay);
    r.reviews = std::clamp(r.reviews, 0, kMostReviews);
    r.lapses = std::clamp(r.lapses, 0, kMostReviews);
    h.missedAnswer = std::max(h.missedAnswer, 0LL);
    h.rightDays = std::clamp(h.rightDays, 0, kErrorBookLeavingDays);
    h.lastRightDay = std::clamp(h.lastRightDay, -1, kLatestDay);
    return h;
}
