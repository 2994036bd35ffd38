// Word-bank files: listing order, reading, writing, splitting and the export
// name.
#include "wordbank/bank_files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/quiz_state.h"
#include "support/fake_platform.h"
#include "support/program_folder.h"
#include "ui/bank_window_layout.h"

namespace {

TEST(SplitEntries, CutsAtCrLfOnly) {
    EXPECT_EQ(splitEntries("a\r\nb\r\n"), TextArray({"a", "b"}));
    EXPECT_EQ(splitEntries("a\r\n\r\nb"), TextArray({"a", "", "b"}));
    EXPECT_EQ(splitEntries("single"), TextArray({"single"}));
    EXPECT_EQ(splitEntries("\r\n"), TextArray({""}));
    EXPECT_TRUE(splitEntries("").empty());
    // A lone CR or LF stays inside its entry; a meaning after a blank too.
    EXPECT_EQ(splitEntries("a\rb\nc\r\nword 意思"), TextArray({"a\rb\nc", "word 意思"}));
    // Scanned by characters: a CR that is a trail byte is no separator.
    EXPECT_EQ(splitEntries("\x81\r\nx\r\ny"), TextArray({"\x81\r\nx", "y"}));
}

TEST(StripTxt, RemovesTheFirstExactOccurrence) {
    EXPECT_EQ(stripTxt("abc.txt"), "abc");
    EXPECT_EQ(stripTxt("ABC.TXT"), "ABC.TXT");
    EXPECT_EQ(stripTxt("a.txt.txt"), "a.txt");
    EXPECT_EQ(stripTxt("a.txtb.txt"), "ab.txt");
    EXPECT_EQ(stripTxt("notes.doc"), "notes.doc");
}

class BankFiles : public ::testing::Test {
protected:
    FakePlatform fake;
    TestProgramFolder root;

    TextArray listed(const Text& folder) {
        TextArray rows;
        listBanks(folder, [&rows](const Text& name) { rows.push_back(name); });
        return rows;
    }
};

TEST_F(BankFiles, FolderIsInsideTheProgramFolder) {
    EXPECT_EQ(bankFolder(), root.folder() + "\\单词表\\");
}

TEST_F(BankFiles, ListsSubFoldersFirstAndPostsProgress) {
    root.makeFolder("\\单词表\\x\\y");
    root.write("\\单词表\\x\\y\\c.txt", "c");
    root.write("\\单词表\\x\\b.txt", "b");
    root.write("\\单词表\\a.txt", "a");
    fake.markOpen(WindowId::Bank);
    const int before = foldersSearched;

    EXPECT_EQ(listed(bankFolder()), TextArray({"c.txt", "b.txt", "a.txt"}));
    EXPECT_EQ(foldersSearched, before + 3);
    EXPECT_TRUE(fake.notifications.empty());  // posted, not sent

    fake.processEvents();
    ASSERT_EQ(fake.notifications.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const NotificationRecord& note = fake.notifications[static_cast<std::size_t>(i)];
        EXPECT_EQ(note.label.window, WindowId::Bank);
        EXPECT_EQ(note.label.index, bankWindow::标签1);
        EXPECT_EQ(note.first, before + 1 + i);
        EXPECT_EQ(note.second, 0);
        EXPECT_TRUE(note.posted);
    }
}

TEST_F(BankFiles, ListsEveryFileByItsBareName) {
    root.write("\\单词表\\notes.doc", "x");
    root.write("\\单词表\\.hidden", "x");
    root.write("\\单词表\\list.txt.txt", "x");
    TextArray rows = listed(bankFolder());
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, TextArray({".hidden", "list.txt.txt", "notes.doc"}));
}

TEST_F(BankFiles, MissingFolderListsNothing) {
    root.remove("\\单词表");
    EXPECT_TRUE(listed(bankFolder()).empty());
}

TEST_F(BankFiles, ReadBankStopsAtStopBytes) {
    root.write("\\单词表\\nul.txt", Bytes("ab\r\ncd\0ef", 9));
    root.write("\\单词表\\eof.txt",
               "\xBA\x1A"
               "b\x1A"
               "c");
    root.write("\\单词表\\bom.txt",
               "\xEF\xBB\xBF"
               "a\r\nb");
    EXPECT_EQ(readBank("nul.txt"), "ab\r\ncd");
    EXPECT_EQ(readBank("eof.txt"),
              "\xBA\x1A"
              "b");
    EXPECT_EQ(splitEntries(readBank("bom.txt")), TextArray({"\xEF\xBB\xBF"
                                                            "a",
                                                            "b"}));
    EXPECT_EQ(readBank("missing.txt"), "");
}

TEST_F(BankFiles, ReadBankLooksOnlyInTheBankFolderItself) {
    root.makeFolder("\\单词表\\x");
    root.write("\\单词表\\x\\b.txt", "inner");
    EXPECT_EQ(readBank("b.txt"), "");
    root.write("\\单词表\\b.txt", "outer");
    EXPECT_EQ(readBank("b.txt"), "outer");
}

TEST_F(BankFiles, WriteBankAppendsTxtAndOverwrites) {
    EXPECT_TRUE(writeBank("list.txt", "a\r\nb"));
    EXPECT_EQ(root.read("\\单词表\\list.txt.txt"), "a\r\nb");
    EXPECT_TRUE(writeBank("四级", "old text"));
    EXPECT_TRUE(writeBank("四级", "new"));
    EXPECT_EQ(root.read("\\单词表\\四级.txt"), "new");
    EXPECT_EQ(readBank("四级.txt"), "new");
    EXPECT_TRUE(writeBank("empty", ""));
    EXPECT_TRUE(root.exists("\\单词表\\empty.txt"));
    EXPECT_EQ(root.read("\\单词表\\empty.txt"), "");
}

TEST_F(BankFiles, WriteBankFailsWithoutFolder) {
    root.remove("\\单词表");
    EXPECT_FALSE(writeBank("a", "x"));
    EXPECT_FALSE(root.exists("\\单词表"));  // never created
}

}  // namespace
