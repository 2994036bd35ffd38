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
    if (!correct) {
        after.missedAnswer = answerId;
        after.rightDays = 0;
        after.lastRightDay = -1;
    } else if (!hintShown && before.missedAnswer > 0 && before.rightDays < kErrorBookLeavingDays &&
               day != before.lastRightDay) {
        after.rightDays = before.rightDays + 1;
        after.lastRightDay = day;
    }
    return after;
}

bool inErrorBook(const WordHistory& history) {
    return history.missedAnswer > 0 && history.rightDays < kErrorBookLeavingDays;
}
