#include "wordbank/bank_manager.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/quiz_state.h"
#include "runtime/services.h"
#include "support/fake_platform.h"
#include "support/program_folder.h"
#include "ui/bank_window_layout.h"

namespace {

using namespace bankWindow;
using Texts = std::vector<Text>;

// The bank window opened on a program folder with two banks, driven through
// the fake's learner actions and the window's event wiring.
class BankWindow : public ::testing::Test {
protected:
    void SetUp() override {
        initQuizState();
        foldersSearched = 0;  // it only grows during a run
        program.writeBank("a.txt", {"apple", "pear"});
        program.writeBank("abc.txt", {"one", "two", "three"});
    }
    void open() {
        loadWindow(WindowId::Bank, false);
        fake.processEvents();
        fake.sounds.clear();
    }
    ControlState& list() { return fake.control(ctl(超级列表框1)); }
    int rowOf(const Text& name) {
        const Texts& rows = list().rows;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i] == name) return static_cast<int>(i);
        }
        ADD_FAILURE() << "no row " << name;
        return -1;
    }
    Text text(Control c) { return fake.text(ctl(c)); }
    bool closed() { return !fake.window(WindowId::Bank).open; }

    FakePlatform fake;
    TestProgramFolder program;
};

}  // namespace

TEST_F(BankWindow, OpeningPlaysTheLoopAndListsTheBanksUnderOneColumn) {
    program.makeFolder("\\单词表\\x");
    program.writeBank("x\\b.txt", {"b"});
    loadWindow(WindowId::Bank, false);
    fake.processEvents();

    EXPECT_EQ(fake.soundLog(), Texts{"start 选词.wav loop"});
    ASSERT_EQ(list().rows.size(), 3u);
    EXPECT_EQ(list().rows[0], "b.txt");  // sub-folders first
    ASSERT_EQ(list().columns.size(), 1u);
    EXPECT_EQ(list().columns[0].title, "词库列表");
    EXPECT_EQ(list().columns[0].width, 600);
    EXPECT_EQ(fake.control(ctl(进度条1)).progress, 2);
}

TEST_F(BankWindow, AMissingBankFolderGivesAnEmptyListWithItsColumn) {
    program.remove("\\单词表");
    open();
    EXPECT_TRUE(list().rows.empty());
    ASSERT_EQ(list().columns.size(), 1u);
    EXPECT_EQ(list().columns[0].title, "词库列表");
    EXPECT_EQ(fake.control(ctl(进度条1)).progress, 1);
}

TEST_F(BankWindow, ClickingARowShowsItsWordsAndDoubleClickingTakesItIntoUse) {
    open();
    fake.clickRow(ctl(超级列表框1), rowOf("abc.txt"));
    EXPECT_EQ(text(编辑框1), "one\r\ntwo\r\nthree");

    fake.doubleClickRow(ctl(超级列表框1), rowOf("a.txt"));
    EXPECT_EQ(wordList, (Texts{"apple", "pear"}));
    EXPECT_EQ(bankName, "a.txt");
    EXPECT_EQ(fake.soundLog(), Texts{"stop"});
    fake.processEvents();
    EXPECT_TRUE(closed());
}

TEST_F(BankWindow, UsingBeforeAnyClickDoesNothing) {
    open();
    fake.selectRow(ctl(超级列表框1), rowOf("a.txt"));
    fake.click(ctl(使用词库按钮1));
    fake.processEvents();
    EXPECT_TRUE(wordList.empty());
    EXPECT_EQ(bankName, "");
    EXPECT_TRUE(fake.sounds.empty());
    EXPECT_FALSE(closed());
}

TEST_F(BankWindow, KeyboardSelectionTakesTheShownWordsUnderTheSelectedName) {
    open();
    fake.clickRow(ctl(超级列表框1), rowOf("a.txt"));
    fake.selectRow(ctl(超级列表框1), rowOf("abc.txt"));
    EXPECT_EQ(text(编辑框1), "apple\r\npear");             // the keyboard loads nothing
    fake.type(ctl(编辑框1), "apple\r\npear\r\nplum\r\n");  // edits are used, not saved
    fake.click(ctl(使用词库按钮1));
    EXPECT_EQ(wordList, (Texts{"apple", "pear", "plum"}));
    EXPECT_EQ(bankName, "abc.txt");
    EXPECT_EQ(program.read("\\单词表\\a.txt"), "apple\r\npear");
}

TEST_F(BankWindow, AClickWithoutASelectionOrOnAVanishedFile) {
    open();
    fake.type(ctl(编辑框1), "kept");
    fake.clickRow(ctl(超级列表框1), 99);  // below the last row, nothing selected
    EXPECT_EQ(text(编辑框1), "kept");

    program.remove("\\单词表\\a.txt");
    fake.clickRow(ctl(超级列表框1), rowOf("a.txt"));
    EXPECT_EQ(text(编辑框1), "");
    fake.click(ctl(使用词库按钮1));
    EXPECT_EQ(bankName, "");
    EXPECT_TRUE(fake.messageBoxes.empty());
}

TEST_F(BankWindow, ExportThenSaveRewritesTheBankAndAddsASecondRow) {
    open();
    fake.clickRow(ctl(超级列表框1), rowOf("abc.txt"));
    fake.type(ctl(编辑框1), "one\r\ntwo");
    fake.click(ctl(按钮4));
    EXPECT_EQ(text(编辑框2), "abc");
    EXPECT_EQ(text(编辑框3), "one\r\ntwo");
    EXPECT_TRUE(fake.messageBoxes.empty());

    fake.click(ctl(按钮2));
    EXPECT_EQ(fake.messageTexts(), Texts{"保存成功"});
    EXPECT_EQ(fake.messageBoxes[0].flags, 0);
    EXPECT_EQ(fake.messageBoxes[0].caption, "信息：");
    EXPECT_EQ(program.read("\\单词表\\abc.txt"), "one\r\ntwo");
    ASSERT_EQ(list().rows.size(), 3u);
    EXPECT_EQ(list().rows.back(), "abc.txt");
    EXPECT_EQ(std::count(list().rows.begin(), list().rows.end(), "abc.txt"), 2);
    EXPECT_EQ(text(编辑框2), "abc");  // the editor keeps its texts
    EXPECT_EQ(bankName, "");
}

TEST_F(BankWindow, ExportWithoutASelectionEmptiesTheNameAndCopiesTheWords) {
    open();
    fake.type(ctl(编辑框2), "old");
    fake.type(ctl(编辑框1), "typed");
    fake.click(ctl(按钮4));
    EXPECT_EQ(text(编辑框2), "");
    EXPECT_EQ(text(编辑框3), "typed");
}

TEST_F(BankWindow, SavingChecksTheNameAndTheTextAndReportsFailure) {
    open();
    fake.click(ctl(按钮2));
    fake.type(ctl(编辑框2), "new");
    fake.click(ctl(按钮2));
    EXPECT_EQ(fake.messageTexts(), (Texts{"请输入词库名称", "请输入词库"}));
    EXPECT_FALSE(program.exists("\\单词表\\new.txt"));

    fake.type(ctl(编辑框3), "w1\r\nw2");
    program.remove("\\单词表");
    fake.click(ctl(按钮2));
    EXPECT_EQ(fake.messageTexts().back(), "保存失败");
    EXPECT_EQ(list().rows.size(), 2u);
}

TEST_F(BankWindow, SavingANewBankWritesItsFile) {
    open();
    fake.type(ctl(编辑框2), "list.txt");
    fake.type(ctl(编辑框3), "w1\r\nw2");
    fake.click(ctl(按钮2));
    EXPECT_EQ(fake.messageTexts(), Texts{"保存成功"});
    EXPECT_EQ(program.read("\\单词表\\list.txt.txt"), "w1\r\nw2");
    EXPECT_EQ(list().rows.back(), "list.txt.txt");

    fake.click(ctl(按钮3));
    EXPECT_EQ(text(编辑框2), "");
    EXPECT_EQ(text(编辑框3), "");
}

TEST_F(BankWindow, RemovingARowAsksAndKeepsTheFile) {
    open();
    fake.click(ctl(按钮1));  // nothing selected: no question
    EXPECT_TRUE(fake.messageBoxes.empty());

    fake.clickRow(ctl(超级列表框1), rowOf("a.txt"));
    fake.messageBoxAnswers = {kIdNo, kIdYes};
    fake.click(ctl(按钮1));
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0].message, "是否要删除词库：a.txt");
    EXPECT_EQ(fake.messageBoxes[0].flags, 4);
    EXPECT_EQ(list().rows.size(), 2u);
    EXPECT_EQ(text(编辑框1), "apple\r\npear");

    fake.click(ctl(按钮1));
    EXPECT_EQ(list().rows, Texts{"abc.txt"});
    EXPECT_EQ(text(编辑框1), "");
    EXPECT_TRUE(program.exists("\\单词表\\a.txt"));
}

TEST_F(BankWindow, MuteStopsTheLoopAndUnmuteStartsItAgain) {
    open();
    fake.click(ctl(选择框1));
    fake.click(ctl(选择框1));
    EXPECT_EQ(fake.soundLog(), (Texts{"stop", "start 选词.wav loop"}));
}

TEST_F(BankWindow, ClosingWithoutABankEndsTheProgram) {
    open();
    EXPECT_THROW(fake.requestClose(WindowId::Bank), ProgramEnded);
    EXPECT_TRUE(fake.ended);
}

TEST_F(BankWindow, AModalWindowReturnsOnceABankIsTaken) {
    fake.at(1000, [this] { fake.doubleClickRow(ctl(超级列表框1), rowOf("abc.txt")); });
    EXPECT_TRUE(loadWindow(WindowId::Bank, true));
    EXPECT_EQ(bankName, "abc.txt");
    EXPECT_EQ(wordList.size(), 3u);
    EXPECT_FALSE(fake.ended);
}
