// Word-bank files: listing order, reading, writing, splitting and the export
// name.
#include "wordbank/bank_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <utility>

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
        listBanks(folder, [&rows](const Text&, const Text& name) { rows.push_back(name); });
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

// Chapters come in sequence on every file system (GBK order puts 四 before
// 中, as their pinyin does), and a save cut off by a
// crash leaves a temporary copy that is no bank: it is not listed, and the
// next save removes it, while names that only look alike stay.
TEST_F(BankFiles, ListsInNameOrderWithoutLeftoverSaves) {
    for (const char* folder : {"\\单词表\\四级", "\\单词表\\中考"}) root.makeFolder(folder);
    for (const char* name : {"四级-010.txt", "四级-002.txt", "四级-001.txt"})
        root.write(Text("\\单词表\\四级\\") + name, "x");
    root.write("\\单词表\\中考\\中考-001.txt", "x");
    const char* leftovers[] = {"b.txt~1.tmp", "b.txt~100.tmp", "c.txt~7.tmp"};
    const char* lookalikes[] = {"b.txt~0.tmp", "b.txt~101.tmp", "notes~1.tmp", "b.txt~x.tmp"};
    for (const char* name : {"b.txt", "a.txt"}) root.write(Text("\\单词表\\") + name, "x");
    for (const char* name : leftovers) root.write(Text("\\单词表\\") + name, "half");
    for (const char* name : lookalikes) root.write(Text("\\单词表\\") + name, "mine");

    EXPECT_EQ(listed(bankFolder()),
              TextArray({"四级-001.txt", "四级-002.txt", "四级-010.txt", "中考-001.txt", "a.txt", "b.txt",
                         "b.txt~0.tmp", "b.txt~101.tmp", "b.txt~x.tmp", "notes~1.tmp"}));

    EXPECT_TRUE(writeBank("d", "words"));
    for (const char* name : leftovers) EXPECT_FALSE(root.exists(Text("\\单词表\\") + name)) << name;
    for (const char* name : lookalikes) EXPECT_EQ(root.read(Text("\\单词表\\") + name), "mine") << name;
    EXPECT_EQ(root.read("\\单词表\\b.txt"), "x");
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
    EXPECT_EQ(readBank("missing.txt"), "");
}

// Banks written by other editors: the UTF-8 mark goes, and UTF-8 text becomes
// GBK when the mark says so or when it cannot be GBK; GBK text stays as it is.
TEST_F(BankFiles, ReadBankTakesUtf8BanksAsUtf8) {
    root.write("\\单词表\\bom.txt",
               "\xEF\xBB\xBF"
               "a\r\n\xE8\x8B\xB9\xE6\x9E\x9C");
    root.write("\\单词表\\utf8.txt", "apple \xE8\x8B\xB9\r\nb");
    root.write("\\单词表\\gbk.txt", "苹果 apple");
    root.write("\\单词表\\both.txt", "\xC3\xA9t\xC3\xA9");  // "été" in UTF-8 is GBK too
    EXPECT_EQ(splitEntries(readBank("bom.txt")), TextArray({"a", "苹果"}));
    EXPECT_EQ(splitEntries(readBank("utf8.txt")), TextArray({"apple 苹", "b"}));
    EXPECT_EQ(readBank("gbk.txt"), "苹果 apple");
    EXPECT_EQ(readBank("both.txt"), "\xC3\xA9t\xC3\xA9");
    root.write("\\单词表\\marked-gbk.txt", "\xEF\xBB\xBF苹果");  // the mark was wrong
    EXPECT_EQ(readBank("marked-gbk.txt"), "苹果");
}

// Each bank is read from the folder it was listed in; links that lead back
// into folders already listed are not followed again, and pipes and devices
// are neither listed nor opened (opening a pipe would wait for a writer).
TEST_F(BankFiles, ListingFollowsEachFolderOnceAndOnlyPlainFiles) {
    root.makeFolder("\\单词表\\x\\y");
    root.write("\\单词表\\x\\b.txt", "inner");
    root.write("\\单词表\\b.txt", "outer");
    root.write("\\单词表\\x\\y\\c.txt", "c");
    const std::string banks = root.nativePath("\\单词表");
    std::filesystem::create_directory_symlink("..", banks + "/x/y/up");
    std::filesystem::create_directory_symlink(banks, banks + "/x/top");
    ASSERT_EQ(mkfifo((banks + "/pipe.txt").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", banks + "/zero.txt");
    const int before = foldersSearched;

    std::vector<std::pair<Text, Text>> rows;
    listBanks(bankFolder(),
              [&rows](const Text& folder, const Text& name) { rows.emplace_back(folder, name); });
    std::sort(rows.begin(), rows.end());
    const Text top = bankFolder();
    EXPECT_EQ(rows, (std::vector<std::pair<Text, Text>>{
                        {top, "b.txt"}, {top + "x\\", "b.txt"}, {top + "x\\y\\", "c.txt"}}));
    EXPECT_EQ(foldersSearched, before + 3);

    EXPECT_EQ(readBank("b.txt", top + "x\\"), "inner");
    EXPECT_EQ(readBank("b.txt"), "outer");
    EXPECT_EQ(readBank("pipe.txt"), "");
    EXPECT_EQ(readBank("zero.txt"), "");
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

// A name is a file name in the bank folder and nothing else: one that would
// lead elsewhere or that Windows cannot hold writes nothing.
TEST_F(BankFiles, WriteBankRefusesNamesThatAreNoPlainFileName) {
    root.write("\\notes.txt", "mine");
    const char* refused[] = {"..\\..\\notes", "..\\notes", "../notes", "a/b",  "C:x",   "a*", "a?",
                             "\"a\"",         "<a>",       "a|b",      "a\tb", "a\x7F", ".",  ".."};
    for (const char* name : refused) EXPECT_FALSE(writeBank(name, "x")) << name;
    EXPECT_EQ(root.read("\\notes.txt"), "mine");
    EXPECT_TRUE(std::filesystem::is_empty(root.nativePath("\\单词表")));
    // A character whose second byte is a backslash is no separator.
    EXPECT_TRUE(writeBank("\xB0\x5C", "x"));
    EXPECT_EQ(readBank("\xB0\x5C.txt"), "x");
}

// A write that fails part-way, as on a full disk (here the file-size limit),
// keeps the old bank whole and leaves no half-written file behind.
TEST_F(BankFiles, AFailedSaveKeepsTheOldBank) {
    ASSERT_TRUE(writeBank("四级", "old words"));
    signal(SIGXFSZ, SIG_IGN);
    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
    rlimit small = original;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool saved = writeBank("四级", Text(100000, 'w'));
    setrlimit(RLIMIT_FSIZE, &original);

    EXPECT_FALSE(saved);
    EXPECT_EQ(root.read("\\单词表\\四级.txt"), "old words");
    auto files = std::filesystem::directory_iterator(root.nativePath("\\单词表"));
    EXPECT_EQ(std::distance(files, {}), 1);
    EXPECT_TRUE(writeBank("四级", Text(100000, 'w')));
    EXPECT_EQ(root.read("\\单词表\\四级.txt").size(), 100000u);
}

TEST_F(BankFiles, WriteBankFailsWithoutFolder) {
    root.remove("\\单词表");
    EXPECT_FALSE(writeBank("a", "x"));
    EXPECT_FALSE(root.exists("\\单词表"));  // never created
}

}  // namespace
