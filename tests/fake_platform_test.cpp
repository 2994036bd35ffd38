// The scripted fake platform itself: the scenario tests rely on its clock
// and on actions arriving inside the program's waits like real events.
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include "runtime/clock.h"
#include "runtime/services.h"
#include "support/program_folder.h"
#include "ui/bank_window_layout.h"
#include "ui/main_window_layout.h"

TEST(FakePlatform, WaitsAdvanceTheVirtualClockAndDeliverActionsOnTime) {
    FakePlatform fake;
    fake.setStartTime(DateTime{2024, 12, 31, 23, 59, 58}, 500);
    std::vector<std::int64_t> seen;
    fake.at(700, [&] { seen.push_back(fake.now()); });
    fake.at(250, [&] { seen.push_back(fake.now()); });
    std::int64_t start = tickCount();
    waitProcessingEvents(1500);
    EXPECT_GT(tickCount() - start, 1500);
    EXPECT_LE(tickCount() - start, 1502);
    EXPECT_EQ(seen, (std::vector<std::int64_t>{250, 700}));
    DateTime t = currentTime();  // 23:59:58.5 + just over 1.5 seconds
    EXPECT_EQ(t.year, 2025);
    EXPECT_EQ(t.month, 1);
    EXPECT_EQ(t.day, 1);
    EXPECT_EQ(t.hour, 0);
    EXPECT_EQ(secondOf(t), 0);
}

TEST(FakePlatform, ActionsNestInsideWaitsOfEarlierActions) {
    FakePlatform fake;
    std::vector<Text> order;
    fake.at(10, [&] {
        order.push_back("outer begins");
        waitProcessingEvents(100);
        order.push_back("outer ends");
    });
    fake.at(50, [&] { order.push_back("nested"); });
    fake.runMessageLoop();
    EXPECT_EQ(order, (std::vector<Text>{"outer begins", "nested", "outer ends"}));
}

TEST(FakePlatform, ModalWindowRunsUntilClosedAndClosesOnlyAtTheNextEventHandling) {
    FakePlatform fake;
    TestProgramFolder folder;
    bool closedInsideHandler = true;
    fake.at(100, [&] {
        closeWindow(WindowId::Bank);
        closedInsideHandler = !fake.window(WindowId::Bank).open;
    });
    loadWindow(WindowId::Bank, true);
    EXPECT_FALSE(closedInsideHandler);
    EXPECT_FALSE(fake.window(WindowId::Bank).open);
    EXPECT_EQ(fake.now(), 100);
    ASSERT_EQ(fake.windowEvents.size(), 2u);
    EXPECT_TRUE(fake.windowEvents[0].modal);
    EXPECT_FALSE(fake.windowEvents[1].loaded);
}

TEST(FakePlatform, InputToHiddenDisabledOrBlockedControlsIsDropped) {
    FakePlatform fake;
    fake.markOpen(WindowId::Main);
    fake.type(mainWindow::ctl(mainWindow::编辑框2), "x");
    EXPECT_EQ(fake.text(mainWindow::ctl(mainWindow::编辑框2)), "x");
    fake.click(mainWindow::ctl(mainWindow::按钮2));     // disabled as designed
    fake.click(mainWindow::ctl(mainWindow::拼写标签));  // hidden as designed
    EXPECT_EQ(fake.droppedInput.size(), 2u);
    fake.type(bankWindow::ctl(bankWindow::编辑框2), "y");  // bank window not open
    EXPECT_EQ(fake.droppedInput.size(), 3u);
}

TEST(FakePlatform, AWaitThatNothingEndsFailsTheTestInsteadOfHanging) {
    FakePlatform fake;
    TestProgramFolder folder;
    fake.setTimeLimit(5000);
    EXPECT_THROW(
        {
            for (;;) waitProcessingEvents(300);
        },
        ScriptError);
    EXPECT_THROW(loadWindow(WindowId::Bank, true), ScriptError);
}
