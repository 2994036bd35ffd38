// What the record keeps per entry: its review state and what the error book
// needs, and how one judged answer changes them.
#pragma once

#include "record/fsrs.h"

// A missed word stays in the error book until it has been recalled on this
// many different learning days since it was last missed.
constexpr int kErrorBookLeavingDays = 3;

struct WordHistory {
    ReviewState review;
    bool lastCorrect = false;
    bool lastRecalled = false;   // right without the hint at its last answer
    long long missedAnswer = 0;  // the answer row of the last miss; 0: never missed
    int rightDays = 0;           // learning days with a recalled answer since then
    int lastRightDay = -1;       // the latest of those days
};

// A word typed after the hint showed it was copied, not recalled: Again,
// like a wrong answer.
Grade gradeOf(bool correct, bool hintShown);
WordHistory afterAnswer(const WordHistory& before, bool correct, bool hintShown, int day, long long answerId);
bool inErrorBook(const WordHistory& history);
// Recalled at its last answer and not due on the day. A word copied from
// the hint was right but not remembered, so it is not mastered.
bool wordMastered(const WordHistory& history, int today);
// The record is read as untrusted: whatever a damaged or edited file holds,
// the scheduler gets a stability and difficulty within FSRS's range, days
// between 1970 and the year 4700 and counts that cannot overflow.
WordHistory boundedHistory(const WordHistory& stored);
