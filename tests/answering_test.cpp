// Judging answers, hints and replay: directly against the handlers for the
// comparison rules, and in running quizzes for the timing cases.
#include "app/answering.h"

#include <gtest/gtest.h>

#include "app/quiz_state.h"
#include "support/fake_platform.h"
#include "support/program_folder.h"
#include "support/scenario.h"
#include "support/web_services.h"
#include "ui/main_window_layout.h"

namespace {

using namespace mainWindow;

const ControlRef kAnswerBox = ctl(编辑框2);

// The main window open with a word being asked, without a running quiz.
struct Answering : ::testing::Test {
    FakePlatform fake;
    TestProgramFolder folder;
    void SetUp() override {
        initQuizState();
        fake.markOpen(WindowId::Main);
    }
    void submit(const Text& typed) {
        fake.type(kAnswerBox, typed);
        fake.pressEnter(kAnswerBox);
    }
};

}  // namespace

TEST_F(Answering, OnlyTheExactBytesAreRight) {
    currentWord.word = "apple";
    for (const char* typed : {"Apple", "apple ", " apple", "", "aple"}) submit(typed);
    EXPECT_EQ(wrongCount, 5);
    EXPECT_EQ(rightCount, 0);
    EXPECT_EQ(wrongWords, "apple\r\napple\r\napple\r\napple\r\napple\r\n");
    EXPECT_EQ(errorDetails,
              "apple写成了>Apple\r\napple写成了>apple \r\napple写成了> "
              "apple\r\napple写成了>\r\napple写成了>aple\r\n");
    EXPECT_EQ(fake.text(kAnswerBox), "");
    EXPECT_EQ(answered, 1);
    EXPECT_EQ(fake.now(), 0);  // a wrong answer does not hold the quiz back

    currentWord.word = "ice cream";
    submit("ice  cream");
    EXPECT_EQ(wrongCount, 6);
    submit("ice cream");
    EXPECT_EQ(rightCount, 1);
    EXPECT_GT(fake.now(), 1000);  // the pause after a right answer
    EXPECT_EQ(fake.soundLog().back(), "start 答对.wav");
}

TEST_F(Answering, EnterIsSwallowedAndOtherKeysReachTheBox) {
    currentWord.word = "apple";
    submit("apple");
    ASSERT_EQ(fake.keys.size(), 1u);
    EXPECT_TRUE(fake.keys[0].consumed);
    EXPECT_EQ(fake.text(kAnswerBox), "");
    EXPECT_EQ(dispatchEvent(WindowId::Main, 编辑框2, EventKind::KeyDown, EventArgs{'A', 0}), 0);
    EXPECT_EQ(rightCount, 1);
}

TEST_F(Answering, StopOutsideAQuizOnlySetsTheFlag) {
    fake.click(ctl(答题按钮1));
    EXPECT_EQ(stopRequested, 1);
    EXPECT_TRUE(fake.sounds.empty());
    EXPECT_TRUE(fake.mediaCommands.empty());
    EXPECT_EQ(answered, 0);
}

TEST_F(Answering, HotkeysActOnTheirOwnIdsOnly) {
    currentWord.word = "apple";
    currentWord.soundFile = "C:\\v\\mp3\\apple.mp3";
    replayHotkeyId = 33001;
    hintHotkeyId = 33002;
    mediaType = "mp3";
    onHotkey(33002);
    EXPECT_EQ(hintCount, 1);
    EXPECT_EQ(fake.text(ctl(提示标签1)), "apple");
    EXPECT_TRUE(fake.mediaCommands.empty());
    onHotkey(33001);
    EXPECT_EQ(hintCount, 1);
    EXPECT_EQ(fake.mediaCommandTexts(),
              (std::vector<Text>{"Stop MM", "close MM", "Open C:\\v\\mp3\\apple.mp3 Alias MM", "play MM"}));
    // A failed registration leaves an id of 0, which names no key.
    hintHotkeyId = 0;
    onHotkey(0);
    EXPECT_EQ(hintCount, 1);
}

// Each word is judged once: a second Enter or "完成" in the pause after a
// right answer, or right after a wrong one, is the same answer again.
TEST(AnsweringInAQuiz, ASecondEnterOrFinishBeforeTheNextWordIsIgnored) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"apple", "banana"});
    serveWords(fake);
    Answers answers;
    chooseFirstBankAt(fake, 500);
    fake.clickAt(1000, ctl(按钮1));
    answerAt(fake, 3500, answers);
    fake.enterAt(4000, kAnswerBox);
    fake.clickAt(4200, ctl(答题按钮3));
    answerAt(fake, 5500, answers, dropLastLetter);
    fake.enterAt(5500, kAnswerBox);
    EXPECT_EQ(runProgram(), 0);

    ASSERT_EQ(fake.keys.size(), 4u);
    EXPECT_TRUE(fake.keys[1].consumed);
    EXPECT_EQ(fake.text(ctl(标签4)),
              "按F1可以重听语音    目前已进行了：2个   还有： 0个  正确数量：1个  错误数量：1正确率:50%");
    ASSERT_EQ(answers.asked.size(), 2u);
    const Text details = answers.asked[1] + "写成了>" + answers.typed[1] + "\r\n";
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0].message,
              "答题结束 \r\n共答题：2\r\n错误次数:1\r\n求助了：0\r\n" + details);
    EXPECT_EQ(folder.read("\\日志\\报告CET4.txt"),
              "答题范围：CET4.txt\r\n共答题：2\r\n正确率:50%\r\n错误次数:1\r\n求助了：0\r\n错误详情\r\n" +
                  details + "\r\n错词表：\r\n" + answers.asked[1] + "\r\n" + std::string(64, '-'));
    EXPECT_EQ(countOf(fake.soundLog(), "start 答对.wav"), 1);
    EXPECT_EQ(countOf(fake.soundLog(), "start 答错.wav"), 1);
}

TEST(AnsweringInAQuiz, HintWithTheHintBoxUncheckedSoundsAndCountsUnseen) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"apple"});
    serveWords(fake);
    Answers answers;
    bool hintLabelVisible = true;
    chooseFirstBankAt(fake, 500);
    fake.clickAt(1000, ctl(按钮1));
    fake.hotkeyAt(3300, 0x71);
    fake.at(3400, [&] { hintLabelVisible = fake.visible(ctl(提示标签1)); });
    answerAt(fake, 3500, answers);
    EXPECT_EQ(runProgram(), 0);

    EXPECT_FALSE(hintLabelVisible);
    EXPECT_EQ(fake.text(ctl(提示标签1)), "apple");
    EXPECT_EQ(fake.control(ctl(提示标签1)).textHistory, (std::vector<Text>{"按F2进行提示", "apple"}));
    EXPECT_EQ(countOf(fake.soundLog(), "start 提示.wav"), 1);
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0].message, "答题结束 \r\n共答题：1\r\n错误次数:0\r\n求助了：1\r\n");
}

TEST(AnsweringInAQuiz, ReplayOnlyWhilePronunciationIsChecked) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"apple"});
    serveWords(fake);
    Answers answers;
    std::size_t before = 0, afterUncheckedF1 = 0;
    chooseFirstBankAt(fake, 500);
    fake.clickAt(1000, ctl(按钮1));
    fake.at(3200, [&] {
        fake.click(ctl(单选框3));
        before = fake.mediaCommands.size();
        fake.pressHotkey(0x70);
        afterUncheckedF1 = fake.mediaCommands.size();
        fake.click(ctl(单选框3));
        fake.pressHotkey(0x70);
    });
    answerAt(fake, 3500, answers);
    EXPECT_EQ(runProgram(), 0);

    EXPECT_EQ(afterUncheckedF1, before);
    std::vector<Text> commands = fake.mediaCommandTexts();
    ASSERT_EQ(commands.size(), before + 4);
    EXPECT_EQ(commands[before + 2], "Open " + folder.folder() + "\\mp3\\apple.mp3 Alias MM");
}

TEST(AnsweringInAQuiz, AnEmptyEntryIsAnsweredByAnEmptyBox) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"", "apple"});
    serveWords(fake);
    Answers answers;
    chooseFirstBankAt(fake, 500);
    fake.clickAt(1000, ctl(按钮1));
    answerAt(fake, 3500, answers);
    answerAt(fake, 5500, answers);
    EXPECT_EQ(runProgram(), 0);

    EXPECT_EQ(countOf(answers.typed, ""), 1);
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0].message, "答题结束 \r\n共答题：2\r\n错误次数:0\r\n求助了：0\r\n");
}
