// The review schedule: known grade sequences, each review on its due day,
// give the intervals FSRS-6 with its default weights gives.
#include "record/fsrs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<int> intervalsOnDueDays(const std::vector<Grade>& grades) {
    ReviewState state;
    int day = 100;
    std::vector<int> intervals;
    for (Grade g : grades) {
        state = reviewWord(state, g, day);
        intervals.push_back(state.dueDay - day);
        day = state.dueDay;
    }
    return intervals;
}

TEST(Fsrs, ScheduleOfKnownSequences) {
    const Grade A = Grade::Again, G = Grade::Good;
    EXPECT_EQ(intervalsOnDueDays({G, G, G, G, G, G}), (std::vector<int>{2, 11, 46, 163, 497, 1346}));
    EXPECT_EQ(intervalsOnDueDays({A, G, G, G, G, G}), (std::vector<int>{1, 2, 6, 17, 44, 102}));
    EXPECT_EQ(intervalsOnDueDays({G, G, A, G, G}), (std::vector<int>{2, 11, 2, 5, 12}));

    // Counters, and the difficulty staying in its range after many lapses.
    ReviewState s;
    for (int day = 0; day < 30; ++day) s = reviewWord(s, A, day);
    EXPECT_EQ(s.reviews, 30);
    EXPECT_EQ(s.lapses, 29);
    EXPECT_GE(s.difficulty, 1.0);
    EXPECT_LE(s.difficulty, 10.0);
    EXPECT_EQ(s.dueDay, 30);

    // A second right answer on the same day never shortens the memory.
    ReviewState first = reviewWord({}, G, 5);
    ReviewState again = reviewWord(first, G, 5);
    EXPECT_GE(again.stability, first.stability);
    EXPECT_EQ(again.lastDay, 5);

    // A damaged stored state (NaN, a clock set back) still gives a due day ahead.
    ReviewState damaged = first;
    damaged.stability = std::nan("");
    EXPECT_GT(reviewWord(damaged, G, 9).dueDay, 9);
    EXPECT_GT(reviewWord(first, G, 1).dueDay, 1);
    EXPECT_EQ(intervalDays(0), 1);
}

}  // namespace
