// Services that reach the platform: waits, message boxes, the clock and the
// clean-up list, against the scripted fake platform.
#include <gtest/gtest.h>

#include "runtime/clock.h"
#include "runtime/services.h"
#include "support/fake_platform.h"

namespace {

TEST(Wait, ZeroOrLessHandlesNothing) {
    FakePlatform fake;
    bool ran = false;
    fake.at(0, [&ran] { ran = true; });
    waitProcessingEvents(0);
    waitProcessingEvents(-5);
    EXPECT_FALSE(ran);
    EXPECT_EQ(fake.now(), 0);
}

TEST(Wait, ReturnsOnlyAfterStrictlyMoreTimeAndHandlesEvents) {
    FakePlatform fake;
    fake.advance(1000);
    std::vector<std::int64_t> ranAt;
    fake.after(100, [&] { ranAt.push_back(fake.now()); });
    fake.after(300, [&] { ranAt.push_back(fake.now()); });
    waitProcessingEvents(300);
    EXPECT_GT(fake.now(), 1300);
    EXPECT_LE(fake.now(), 1302);
    EXPECT_EQ(ranAt, std::vector<std::int64_t>({1100, 1300}));
}

TEST(MessageBox, DefaultCaptionAndAnswers) {
    FakePlatform fake;
    fake.messageBoxAnswers = {kIdNo};
    EXPECT_EQ(messageBox("保存？", kMbYesNo), kIdNo);
    EXPECT_EQ(messageBox("done"), kIdOk);
    ASSERT_EQ(fake.messageBoxes.size(), 2u);
    EXPECT_EQ(fake.messageBoxes[0].caption, "\xD0\xC5\xCF\xA2\xA3\xBA");  // 信息：
    EXPECT_EQ(fake.messageBoxes[0].flags, kMbYesNo);
    EXPECT_EQ(fake.messageBoxes[1].flags, kMbOk);
    EXPECT_EQ(fake.messageBoxes[1].message, "done");
}

TEST(Clock, AskThePlatformWhenThereIsOne) {
    {
        FakePlatform fake;
        fake.setStartTime(DateTime{2024, 3, 1, 10, 0, 17});
        fake.advance(2000);
        EXPECT_EQ(secondOf(currentTime()), 19);
        EXPECT_EQ(tickCount(), fake.tickCount());
    }
    // Without a platform: the system's clocks.
    DateTime now = currentTime();
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_LE(secondOf(now), 59);
    std::int64_t first = tickCount();
    EXPECT_GE(tickCount(), first);
}

std::vector<int> cleanupOrder;

TEST(Cleanup, LastRegisteredRunsFirstAndOnlyOnce) {
    cleanupOrder.clear();
    registerCleanup([] { cleanupOrder.push_back(1); });
    registerCleanup([] { cleanupOrder.push_back(2); });
    runCleanup();
    runCleanup();
    EXPECT_EQ(cleanupOrder, std::vector<int>({2, 1}));
}

TEST(Cleanup, EndProgramRunsItThroughThePlatform) {
    FakePlatform fake;
    cleanupOrder.clear();
    registerCleanup([] { cleanupOrder.push_back(3); });
    EXPECT_THROW(endProgram(7), ProgramEnded);
    EXPECT_TRUE(fake.ended);
    EXPECT_EQ(fake.exitCode, 7);
    EXPECT_EQ(cleanupOrder, std::vector<int>({3}));
}

}  // namespace
