// Review scheduling on the FSRS-6 model with its published default weights
// and a desired retention of 0.9. Days are learning days (see
// learningDay): whole numbers, no learning steps and no fuzz, so a schedule
// is the same every time it is computed.
#pragma once

struct ReviewState {
    bool isNew = true;      // never reviewed
    double stability = 0;   // days until recall falls to 90 %
    double difficulty = 0;  // 1 (easy) to 10 (hard)
    int lastDay = 0;        // learning day of the last review
    int dueDay = 0;         // learning day the word is next due
    int reviews = 0;
    int lapses = 0;  // reviews graded Again after the first
};

// The longest interval the schedule gives: a hundred years, which keeps
// every date in range.
constexpr int kLongestIntervalDays = 36500;
// The range of stability every review keeps to.
constexpr double kMinStability = 0.001;
constexpr double kMaxStability = 36500;  // a hundred years; keeps dates in range

enum class Grade { Again = 1, Hard = 2, Good = 3, Easy = 4 };

// The state after a review graded `grade` on learning day `day`.
ReviewState reviewWord(const ReviewState& before, Grade grade, int day);

// Days until the next review for a stability, at least 1.
int intervalDays(double stability);
