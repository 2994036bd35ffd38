// Files and folders through the program's own file services, on a temporary
// folder. Paths are program texts (GBK, backslashes).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "runtime/codepage.h"
#include "runtime/files.h"
#include "support/program_folder.h"

namespace {

class Files : public ::testing::Test {
protected:
    TestProgramFolder root;
    Text path(const Text& relative) const { return root.folder() + relative; }
};

TextArray allNames(const Text& pattern, FindKind kind) {
    FindStateHolder state;
    TextArray names;
    for (Text name = findFiles(pattern, kind, state); !name.empty(); name = findFiles("", kind, state))
        names.push_back(name);
    std::sort(names.begin(), names.end());  // the file system's order is its own
    return names;
}

TEST_F(Files, WriteFileCreatesOrTruncates) {
    EXPECT_TRUE(writeFile(path("\\a.txt"), {"ab", "", "cd"}));
    EXPECT_EQ(root.read("\\a.txt"), "abcd");
    EXPECT_TRUE(writeFile(path("\\a.txt"), "x"));
    EXPECT_EQ(root.read("\\a.txt"), "x");
    EXPECT_TRUE(writeFile(path("\\empty.txt"), ""));
    EXPECT_TRUE(root.exists("\\empty.txt"));
    EXPECT_FALSE(writeFile(path("\\missing\\a.txt"), "x"));
    EXPECT_FALSE(writeFile("", "x"));
}

TEST_F(Files, FileExistsWithAndWithoutWildcards) {
    root.write("\\单词表\\CET4.txt", "word");
    EXPECT_TRUE(fileExists(path("\\单词表\\CET4.txt")));
    EXPECT_TRUE(fileExists(path("\\单词表")));
    EXPECT_TRUE(fileExists(path("\\单词表\\")));
    EXPECT_FALSE(fileExists(path("\\单词表\\CET6.txt")));
    EXPECT_TRUE(fileExists(path("\\单词表\\*.txt")));
    EXPECT_TRUE(fileExists(path("\\单词表\\CET?.TXT")));
    EXPECT_FALSE(fileExists(path("\\单词表\\*.doc")));
    EXPECT_FALSE(fileExists(""));
}

TEST_F(Files, ReadTextStopsAtZeroByteAndLeavesThePositionThere) {
    root.write("\\f", Bytes("abc\0def", 7));
    int file = openFile(path("\\f"), 3);
    ASSERT_NE(file, 0);
    EXPECT_EQ(readText(file), "abc");
    // The zero byte was not consumed: the next write lands on it.
    EXPECT_TRUE(writeBytes(file, "X"));
    closeFile(file);
    EXPECT_EQ(root.read("\\f"), "abcXdef");
}

TEST_F(Files, ReadTextStopBytesAtCharacterStarts) {
    // 0x1A ends the text at a character start, but not as a trail byte.
    root.write("\\eof",
               "ab\x1A"
               "cd");
    root.write("\\trail",
               "a\x81\x1A"
               "b");
    // A zero byte after a lead byte ends the text before the lead byte.
    root.write("\\lead", Bytes("a\xBA\0z", 4));
    int eof = openFile(path("\\eof"), 1);
    int trail = openFile(path("\\trail"), 1);
    int lead = openFile(path("\\lead"), 3);
    EXPECT_EQ(readText(eof), "ab");
    EXPECT_EQ(readText(eof), "");  // still at the mark
    EXPECT_EQ(readText(trail),
              "a\x81\x1A"
              "b");
    EXPECT_EQ(readText(lead), "a");
    EXPECT_TRUE(writeBytes(lead, "X"));  // the position is at the dropped lead byte
    closeFile(eof);
    closeFile(trail);
    closeFile(lead);
    EXPECT_EQ(root.read("\\lead"), Bytes("aX\0z", 4));
}

TEST_F(Files, ReadTextLengthAndBadArguments) {
    root.write("\\f", "abcdef");
    int file = openFile(path("\\f"), 1);
    EXPECT_EQ(readText(file, 2), "ab");
    EXPECT_EQ(readText(file, 0), "");
    EXPECT_EQ(readText(file), "cdef");
    EXPECT_EQ(readText(file), "");
    closeFile(file);
    EXPECT_EQ(readText(file), "");  // closed
    EXPECT_EQ(readText(0), "");
    EXPECT_EQ(readText(99), "");
    closeFile(file);  // closing twice does nothing
}

TEST_F(Files, OpenModes) {
    EXPECT_EQ(openFile(path("\\none"), 1), 0);
    EXPECT_EQ(openFile(path("\\none"), 2), 0);
    EXPECT_EQ(openFile(path("\\none"), 3), 0);
    EXPECT_EQ(openFile(path("\\单词表"), 1), 0);  // a folder is no file
    EXPECT_EQ(openFile(path("\\f"), 0), 0);
    EXPECT_EQ(openFile(path("\\f"), 7), 0);
    EXPECT_EQ(openFile(path("\\f"), 4, 0), 0);
    EXPECT_EQ(openFile(path("\\f"), 4, 5), 0);
    EXPECT_EQ(openFile("", 4), 0);
    EXPECT_FALSE(root.exists("\\f"));

    root.write("\\f", "abc");
    int file = openFile(path("\\f"), 5);  // no truncation
    writeBytes(file, "X");
    closeFile(file);
    EXPECT_EQ(root.read("\\f"), "Xbc");

    file = openFile(path("\\f"), 6);
    EXPECT_EQ(readText(file, 1), "X");
    writeBytes(file, "Y");
    closeFile(file);
    EXPECT_EQ(root.read("\\f"), "XYc");

    file = openFile(path("\\f"), 4);  // truncates
    EXPECT_EQ(readText(file), "");    // write only
    closeFile(file);
    EXPECT_EQ(root.read("\\f"), "");

    file = openFile(path("\\new"), 6);
    EXPECT_NE(file, 0);
    closeFile(file);
    EXPECT_TRUE(root.exists("\\new"));

    file = openFile(path("\\f"), 1);
    EXPECT_FALSE(writeBytes(file, "x"));  // read only
    closeFile(file);
}

TEST_F(Files, FileNumbersAreReused) {
    root.write("\\f", "abc");
    int first = openFile(path("\\f"), 1);
    int second = openFile(path("\\f"), 1);
    EXPECT_GT(first, 0);
    EXPECT_GT(second, 0);
    EXPECT_NE(first, second);
    closeFile(first);
    EXPECT_EQ(openFile(path("\\f"), 1), first);
    closeFile(first);
    closeFile(second);
}

TEST_F(Files, ExclusiveOpensKeepOthersOut) {
    root.write("\\f", "old");
    int exclusive = openFile(path("\\f"), 3, 4);
    ASSERT_NE(exclusive, 0);
    EXPECT_EQ(openFile(path("\\f"), 1, 1), 0);
    EXPECT_FALSE(writeFile(path("\\f"), "new"));
    closeFile(exclusive);

    int shared = openFile(path("\\f"), 1, 1);
    int alsoShared = openFile(path("\\f"), 1, 1);
    EXPECT_NE(shared, 0);
    EXPECT_NE(alsoShared, 0);
    EXPECT_EQ(openFile(path("\\f"), 4, 4), 0);
    // A refused create-and-truncate leaves the file as it was.
    EXPECT_FALSE(writeFile(path("\\f"), "new"));
    EXPECT_EQ(root.read("\\f"), "old");
    closeFile(shared);
    closeFile(alsoShared);
    EXPECT_TRUE(writeFile(path("\\f"), "new"));
    EXPECT_EQ(root.read("\\f"), "new");
}

TEST_F(Files, MoveFileNeverReplaces) {
    root.write("\\a", "A");
    root.write("\\b", "B");
    EXPECT_FALSE(moveFile(path("\\a"), path("\\b")));
    EXPECT_EQ(root.read("\\a"), "A");
    EXPECT_EQ(root.read("\\b"), "B");

    EXPECT_TRUE(moveFile(path("\\a"), path("\\mp3\\c")));
    EXPECT_FALSE(root.exists("\\a"));
    EXPECT_EQ(root.read("\\mp3\\c"), "A");
    EXPECT_FALSE(moveFile(path("\\a"), path("\\d")));
    EXPECT_FALSE(moveFile("", path("\\d")));
}

TEST_F(Files, FindFilesByKind) {
    root.makeFolder("\\单词表\\x");
    root.write("\\单词表\\a.txt", "a");
    root.write("\\单词表\\.hidden", "h");
    EXPECT_EQ(allNames(path("\\单词表\\*"), FindKind::FoldersOnly), TextArray({".", "..", "x"}));
    EXPECT_EQ(allNames(path("\\单词表\\*"), FindKind::FilesOnly), TextArray({".hidden", "a.txt"}));
    EXPECT_EQ(allNames(path("\\单词表\\*.*"), FindKind::FilesOnly), TextArray({".hidden", "a.txt"}));
    EXPECT_EQ(allNames(path("\\单词表\\*.txt"), FindKind::FilesOnly), TextArray({"a.txt"}));
    EXPECT_TRUE(allNames(path("\\nowhere\\*"), FindKind::FilesOnly).empty());
}

TEST_F(Files, FindFilesStatesAreIndependentAndEnd) {
    root.write("\\mp3\\1", "");
    root.write("\\mp3\\2", "");
    root.write("\\日志\\3", "");
    FindStateHolder outer, inner;
    Text first = findFiles(path("\\mp3\\*"), FindKind::FilesOnly, outer);
    EXPECT_EQ(findFiles(path("\\日志\\*"), FindKind::FilesOnly, inner), "3");
    EXPECT_EQ(findFiles("", FindKind::FilesOnly, inner), "");
    Text second = findFiles("", FindKind::FilesOnly, outer);
    EXPECT_EQ(TextArray({std::min(first, second), std::max(first, second)}), TextArray({"1", "2"}));
    EXPECT_EQ(findFiles("", FindKind::FilesOnly, outer), "");
    EXPECT_EQ(findFiles("", FindKind::FilesOnly, outer), "");  // stays ended
    // A new pattern starts over.
    EXPECT_FALSE(findFiles(path("\\mp3\\*"), FindKind::FilesOnly, outer).empty());
}

TEST_F(Files, TrailByteBackslashIsNoSeparator) {
    // 昞 is 95 5C in GBK: its trail byte is a backslash.
    const Text name = "\x95\x5C.txt";
    EXPECT_TRUE(writeFile(path("\\") + name, "x"));
    EXPECT_EQ(access((root.nativePath("") + "/\xE6\x98\x9E.txt").c_str(), F_OK), 0);
    EXPECT_TRUE(fileExists(path("\\") + name));
    EXPECT_EQ(allNames(path("\\*.txt"), FindKind::FilesOnly), TextArray({name}));
    EXPECT_EQ(allNames(path("\\") + "\x95\x5C*", FindKind::FilesOnly), TextArray({name}));
}

TEST(ProgramFolder, IsTheExecutablesFolder) {
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(length, 0);
    std::string native(self, static_cast<std::size_t>(length));
    native = native.substr(0, native.rfind('/'));
    Text expected = utf8ToGbkText(native);
    std::replace(expected.begin(), expected.end(), '/', '\\');
    EXPECT_EQ(programFolder(), expected);
    EXPECT_NE(programFolder().back(), '\\');
    EXPECT_TRUE(fileExists(programFolder() + "\\*_test"));
}

}  // namespace
