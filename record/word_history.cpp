// One judged answer applied to an entry's history.
#include "record/word_history.h"

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
