// The main window outside the quiz: option boxes and the two window sizes,
// the start check, the report button and closing.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/program_entry.h"
#include "app/quiz_state.h"
#include "support/fake_platform.h"
#include "support/program_folder.h"
#include "support/scenario.h"
#include "support/web_services.h"
#include "ui/main_window_layout.h"

namespace {

using namespace mainWindow;

using Sizes = std::vector<std::pair<int, int>>;

}  // namespace

TEST(MainWindow, OptionBoxesShowTheirControlsAndMeaningsWidenTheWindow) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"apple"});
    serveWords(fake);
    Answers answers;
    chooseFirstBankAt(fake, 500);
    fake.at(600, [&] {
        fake.click(ctl(单选框1));
        EXPECT_TRUE(fake.visible(ctl(超文本浏览框1)));
        fake.click(ctl(单选框1));
        EXPECT_FALSE(fake.visible(ctl(超文本浏览框1)));
        fake.click(ctl(单选框1));
        for (Control option : {单选框2, 单选框4, 单选框5}) fake.click(ctl(option));
        EXPECT_TRUE(fake.visible(ctl(拼写标签)));
        EXPECT_TRUE(fake.visible(ctl(超级编辑框1)));
        EXPECT_TRUE(fake.visible(ctl(提示标签1)));
        for (Control option : {单选框2, 单选框4, 单选框5}) fake.click(ctl(option));
        EXPECT_FALSE(fake.visible(ctl(拼写标签)));
        EXPECT_FALSE(fake.visible(ctl(超级编辑框1)));
        EXPECT_FALSE(fake.visible(ctl(提示标签1)));
        fake.click(ctl(单选框3));  // read when needed, changes nothing on screen
    });
    // The word is written to the hidden label; checking "拼写" shows it as it is.
    fake.clickAt(1000, ctl(按钮1));
    fake.at(3200, [&] {
        fake.click(ctl(单选框2));
        EXPECT_TRUE(fake.visible(ctl(拼写标签)));
        EXPECT_EQ(fake.text(ctl(拼写标签)), "apple");
    });
    answerAt(fake, 3500, answers);
    EXPECT_EQ(runProgram(), 0);

    EXPECT_EQ(fake.window(WindowId::Main).sizeHistory,
              (Sizes{{586, 366}, {948, 531}, {586, 366}, {948, 531}}));
    EXPECT_EQ(fake.messageBoxes.size(), 1u);
}

TEST(MainWindow, AQuizNeedsMeaningsOrPronunciation) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"apple"});
    serveWords(fake);
    Answers answers;
    chooseFirstBankAt(fake, 500);
    fake.clickAt(600, ctl(单选框3));
    fake.clickAt(700, ctl(按钮1));
    fake.at(800, [&] {
        ASSERT_EQ(fake.messageBoxes.size(), 1u);
        EXPECT_EQ(fake.messageBoxes[0].message, "请勾选练习内容：词意或发音");
        EXPECT_EQ(fake.messageBoxes[0].caption, "信息：");
        EXPECT_EQ(fake.messageBoxes[0].flags, kMbOk);
        EXPECT_TRUE(fake.httpRequests.empty());
        EXPECT_EQ(countOf(fake.soundLog(), "start 开始.wav"), 0);
        fake.click(ctl(单选框1));
        fake.click(ctl(按钮1));
    });
    // Meanings only: the word is asked without its pronunciation.
    answerAt(fake, 3500, answers);
    EXPECT_EQ(runProgram(), 0);

    EXPECT_EQ(answers.asked, std::vector<Text>{"apple"});
    EXPECT_EQ(fake.mediaCommands.size(), 2u);  // the two at start-up
    EXPECT_EQ(fake.messageBoxes.size(), 2u);
}

TEST(MainWindow, TheReportButtonOpensTheReportOnceAQuizHasEnded) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"apple"});
    serveWords(fake);
    Answers answers;
    chooseFirstBankAt(fake, 500);
    fake.clickAt(600, ctl(按钮2));  // disabled until a quiz has ended
    fake.clickAt(1000, ctl(按钮1));
    answerAt(fake, 3500, answers);
    fake.clickAt(6000, ctl(按钮2));
    EXPECT_EQ(runProgram(), 0);

    EXPECT_EQ(fake.droppedInput.size(), 1u);
    EXPECT_EQ(fake.openedTextFiles, std::vector<Text>{folder.folder() + "\\日志\\报告CET4.txt"});
    EXPECT_TRUE(fake.commandLines.empty());  // shown as text, never started
}

TEST(MainWindow, ClosingDuringAQuizEndsTheProgramAtOnce) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"apple", "banana"});
    serveWords(fake);
    chooseFirstBankAt(fake, 500);
    fake.clickAt(1000, ctl(按钮1));
    fake.closeAt(3500, WindowId::Main);
    fake.clickAt(4000, ctl(答题按钮3));
    EXPECT_THROW(programMain(), ProgramEnded);

    EXPECT_EQ(fake.exitCode, 0);
    EXPECT_EQ(fake.now(), 3500);
    EXPECT_EQ(fake.soundLog().back(), "stop");
    std::vector<Text> commands = fake.mediaCommandTexts();
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands[commands.size() - 2], "Stop MM");
    EXPECT_EQ(commands.back(), "close MM");
    EXPECT_TRUE(fake.messageBoxes.empty());
    EXPECT_FALSE(folder.exists("\\日志\\报告CET4.txt"));
    EXPECT_TRUE(wordList.empty());  // the clean-up ran
}

TEST(MainWindow, SizesFollowTheControlsAsTheyStand) {
    FakePlatform fake;
    EXPECT_EQ(compactWindowSize().width, 586);
    EXPECT_EQ(compactWindowSize().height, 366);
    EXPECT_EQ(wideWindowSize().width, 948);
    EXPECT_EQ(wideWindowSize().height, 531);
    fake.control(ctl(超文本浏览框1)).rect.width = 400;
    EXPECT_EQ(wideWindowSize().width, 996);
}
