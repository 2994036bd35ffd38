// Start-up walked through the real handlers: the modal word-bank window,
// the bank choice, and the main window made ready for a quiz.
#include <gtest/gtest.h>

#include "app/program_entry.h"
#include "app/quiz_state.h"
#include "runtime/files.h"
#include "runtime/services.h"
#include "support/fake_platform.h"
#include "support/program_folder.h"
#include "ui/bank_window_layout.h"
#include "ui/main_window_layout.h"

namespace {

const ControlRef kBankList = bankWindow::ctl(bankWindow::超级列表框1);

}  // namespace

TEST(StartUp, DoubleClickingABankMakesTheMainWindowReady) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"apple", "banana", "cherry"});
    foldersSearched = 0;  // counts for the whole run, never reset
    bool bankWindowOpenWhenChosen = false;
    fake.at(400, [&] { bankWindowOpenWhenChosen = fake.window(WindowId::Bank).open; });
    fake.doubleClickRowAt(500, kBankList, 0);
    fake.at(600, [&] {
        EXPECT_EQ(wordList, (TextArray{"apple", "banana", "cherry"}));
        EXPECT_EQ(bankName, "CET4.txt");
        EXPECT_EQ(replayHotkeyId, 33001);
        EXPECT_EQ(hintHotkeyId, 33002);
        EXPECT_EQ(mediaType, "mp3");
    });
    EXPECT_EQ(programMain(), 0);

    EXPECT_TRUE(bankWindowOpenWhenChosen);
    ASSERT_EQ(fake.windowEvents.size(), 3u);
    EXPECT_EQ(fake.windowEvents[0].window, WindowId::Main);
    EXPECT_FALSE(fake.windowEvents[0].modal);
    EXPECT_EQ(fake.windowEvents[1].window, WindowId::Bank);
    EXPECT_TRUE(fake.windowEvents[1].modal);
    EXPECT_EQ(fake.windowEvents[2].window, WindowId::Bank);
    EXPECT_FALSE(fake.windowEvents[2].loaded);

    // The bank window: its looping background sound, one row per bank, and
    // the single column it gains during creation.
    const ControlState& list = fake.control(kBankList);
    EXPECT_EQ(list.rows, std::vector<Text>{"CET4.txt"});
    ASSERT_EQ(list.columns.size(), 1u);
    EXPECT_EQ(list.columns[0].title, "词库列表");
    EXPECT_EQ(list.columns[0].width, 600);
    EXPECT_EQ(fake.control(bankWindow::ctl(bankWindow::进度条1)).progress, 1);
    EXPECT_EQ(fake.soundLog(), (std::vector<Text>{"start 选词.wav loop", "stop", "start 等待开始.wav"}));

    // The main window.
    WindowState& main = fake.window(WindowId::Main);
    EXPECT_EQ(main.sizeHistory, (std::vector<std::pair<int, int>>{{586, 366}}));
    EXPECT_EQ(main.caption, "VorbelzozCET4.txt");
    EXPECT_EQ(fake.text(mainWindow::ctl(mainWindow::标签3)), "当前词库单词数量：3");
    EXPECT_EQ(fake.control(mainWindow::ctl(mainWindow::超文本浏览框1)).navigations,
              std::vector<Text>{"about:blank"});
    EXPECT_EQ(fake.mediaCommandTexts(),
              (std::vector<Text>{"open mp3file Alias sonido", "set cd time format tmsf wait"}));
    ASSERT_EQ(fake.hotkeys.size(), 2u);
    EXPECT_EQ(fake.hotkeys[0].virtualKey, 0x70);
    EXPECT_EQ(fake.hotkeys[0].id, 33001);
    EXPECT_EQ(fake.hotkeys[1].virtualKey, 0x71);
    EXPECT_EQ(fake.hotkeys[1].id, 33002);
    for (const HotkeyRecord& h : fake.hotkeys) {
        EXPECT_EQ(h.owner, WindowId::Main);
        EXPECT_EQ(h.modifiers, 0);
        EXPECT_EQ(h.label.window, WindowId::Main);
        EXPECT_EQ(h.label.index, mainWindow::标签1);
    }
    EXPECT_TRUE(fake.messageBoxes.empty());
    EXPECT_TRUE(fake.httpRequests.empty());
    // The clean-up at the end of the program released the state.
    EXPECT_TRUE(wordList.empty());
    EXPECT_TRUE(bankName.empty());
}

TEST(StartUp, BanksInSubFoldersComeFirstAndAreReadFromTheirOwnFolder) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("top.txt", {"apple"});
    folder.makeFolder("\\单词表\\sub");
    folder.writeBank("sub\\inner.txt", {"pear", "plum"});
    foldersSearched = 0;
    // The row shows the bare name; the words come from the sub-folder.
    fake.doubleClickRowAt(500, kBankList, 0);
    fake.at(600, [&] {
        EXPECT_EQ(wordList, (TextArray{"pear", "plum"}));
        EXPECT_EQ(bankName, "inner.txt");
    });
    EXPECT_EQ(programMain(), 0);
    EXPECT_EQ(fake.control(kBankList).rows, (std::vector<Text>{"inner.txt", "top.txt"}));
    EXPECT_EQ(fake.control(bankWindow::ctl(bankWindow::进度条1)).progress, 2);
}

// A program folder GBK cannot name: one message naming the folder and what
// to do, then the end, before any window opens.
TEST(StartUp, AProgramFolderGbkCannotHoldIsReportedAndEndsTheProgram) {
    FakePlatform fake;
    setProgramFolderForTesting("/home/j?rg/vorbelzoz", false);
    int code = -1;
    try {
        programMain();
    } catch (const ProgramEnded& ended) {
        code = ended.code;
    }
    setProgramFolderForTesting("");
    EXPECT_EQ(code, 1);
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_NE(fake.messageBoxes[0].message.find("/home/j?rg/vorbelzoz"), Text::npos);
    EXPECT_NE(fake.messageBoxes[0].message.find("只含中文和英文字符"), Text::npos);
    EXPECT_EQ(fake.messageBoxes[0].caption, "信息：");
    EXPECT_TRUE(fake.windowEvents.empty());
}

TEST(StartUp, ClosingTheBankWindowWithoutAChoiceEndsTheProgram) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"apple"});
    fake.clickRowAt(500, kBankList, 0);  // looks at the words, takes nothing
    fake.closeAt(1000, WindowId::Bank);
    fake.clickAt(2000, mainWindow::ctl(mainWindow::按钮1));
    EXPECT_THROW(programMain(), ProgramEnded);

    EXPECT_TRUE(fake.ended);
    EXPECT_EQ(fake.exitCode, 0);
    EXPECT_EQ(fake.now(), 1000);
    EXPECT_TRUE(fake.window(WindowId::Main).sizeHistory.empty());
    EXPECT_TRUE(fake.hotkeys.empty());
    EXPECT_TRUE(fake.mediaCommands.empty());
    EXPECT_TRUE(fake.messageBoxes.empty());
    EXPECT_TRUE(wordList.empty());  // the clean-up ran
}

TEST(StartUp, ASingleLineBankAndARefusedHotkey) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("one.txt", {"apple"});
    fake.refusedHotkeys.insert(0x70);  // another program holds F1
    fake.doubleClickRowAt(500, kBankList, 0);
    fake.at(600, [&] {
        EXPECT_EQ(replayHotkeyId, 0);
        EXPECT_EQ(hintHotkeyId, 33001);
    });
    fake.hotkeyAt(700, 0x70);
    EXPECT_EQ(programMain(), 0);

    EXPECT_EQ(fake.text(mainWindow::ctl(mainWindow::标签3)), "当前词库单词数量：1");
    EXPECT_EQ(fake.window(WindowId::Main).caption, "Vorbelzozone.txt");
    EXPECT_EQ(fake.droppedInput.size(), 1u);  // F1 never arrives
    EXPECT_EQ(fake.mediaCommands.size(), 2u);
}

// However the bank window goes away, the main window is never used without
// words to ask.
TEST(StartUp, ABankWindowGoneWithoutWordsEndsTheProgram) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"apple"});
    fake.at(500, [] { closeWindow(WindowId::Bank); });  // no closing query
    EXPECT_THROW(programMain(), ProgramEnded);
    EXPECT_EQ(fake.exitCode, 0);
    EXPECT_TRUE(fake.window(WindowId::Main).sizeHistory.empty());
    EXPECT_TRUE(fake.hotkeys.empty());
}
