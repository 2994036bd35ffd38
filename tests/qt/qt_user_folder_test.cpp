// The learner's own program folder of an installed program: which folder it
// is, and how each start prepares it from the installed one.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "runtime/posix/program_folder.h"
#include "runtime/qt/user_folder.h"

namespace fs = std::filesystem;

namespace {

class UserFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vorbelzoz-user-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        installed = root / "usr-lib-vorbelzoz";
        user = root / "home" / ".local" / "share" / "vorbelzoz";
        write(installed / "单词表" / "01示例" / "常用词汇.txt", "apple\r\nbanana\r\n");
        write(installed / "单词表" / "01示例" / "入门词汇.txt", "cat\r\n");
        write(installed / "单词表" / "04四级" / "四级-001.txt", "abandon\r\n");
        write(installed / "音效" / "开始.wav", "RIFF");
    }
    void TearDown() override { fs::remove_all(root); }

    static void write(const fs::path& path, const std::string& content) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }
    int leftovers() const {
        int found = 0;
        for (const auto& entry : fs::recursive_directory_iterator(user))
            if (entry.path().filename().string().ends_with(".copying")) ++found;
        return found;
    }

    fs::path root, installed, user;
};

TEST_F(UserFolderTest, FirstStartCopiesEveryBankAndMakesTheFolders) {
    qtport::prepareUserFolder(installed, user);

    EXPECT_EQ(read(user / "单词表" / "01示例" / "常用词汇.txt"), "apple\r\nbanana\r\n");
    EXPECT_EQ(read(user / "单词表" / "01示例" / "入门词汇.txt"), "cat\r\n");
    EXPECT_EQ(read(user / "单词表" / "04四级" / "四级-001.txt"), "abandon\r\n");
    EXPECT_TRUE(fs::is_directory(user / "mp3"));
    EXPECT_TRUE(fs::is_directory(user / "日志"));
    // The effects are read from the installed folder.
    EXPECT_TRUE(fs::is_symlink(user / "音效"));
    EXPECT_EQ(read(user / "音效" / "开始.wav"), "RIFF");
    EXPECT_EQ(leftovers(), 0);
}

TEST_F(UserFolderTest, LaterStartsKeepTheLearnersBanksAndAddOnlyNewOnes) {
    qtport::prepareUserFolder(installed, user);
    write(user / "单词表" / "01示例" / "常用词汇.txt", "apple\r\n");  // edited
    fs::remove(user / "单词表" / "01示例" / "入门词汇.txt");          // removed
    write(user / "单词表" / "我的.txt", "mine\r\n");                  // the learner's own
    // A newer version brings two banks, one of them named like the learner's.
    write(installed / "单词表" / "04四级" / "四级-002.txt", "ability\r\n");
    write(installed / "单词表" / "我的.txt", "bundled\r\n");

    qtport::prepareUserFolder(installed, user);

    EXPECT_EQ(read(user / "单词表" / "01示例" / "常用词汇.txt"), "apple\r\n");
    EXPECT_FALSE(fs::exists(user / "单词表" / "01示例" / "入门词汇.txt"));
    EXPECT_EQ(read(user / "单词表" / "我的.txt"), "mine\r\n");
    EXPECT_EQ(read(user / "单词表" / "04四级" / "四级-002.txt"), "ability\r\n");
    EXPECT_EQ(leftovers(), 0);
}

// An earlier version copied the samples to the top of 单词表 and the chapters
// into folders now renamed; this one bundles them elsewhere.
TEST_F(UserFolderTest, BanksBundledUnderANewPathAreMovedNeverCopiedTwice) {
    const fs::path earlier = root / "earlier-version";
    write(earlier / "单词表" / "常用词汇.txt", "apple\r\nbanana\r\n");
    write(earlier / "单词表" / "入门词汇.txt", "cat\r\n");
    write(earlier / "单词表" / "常用短语.txt", "ice cream\r\n");
    write(earlier / "单词表" / "四级" / "四级-001.txt", "ability\r\n");  // reordered since
    write(earlier / "单词表" / "四级" / "四级-002.txt", "able\r\n");
    write(earlier / "单词表" / "旧名.txt", "same\r\n");
    write(earlier / "音效" / "开始.wav", "RIFF");
    qtport::prepareUserFolder(earlier, user);
    write(user / "单词表" / "常用词汇.txt", "apple\r\n");  // edited
    fs::remove(user / "单词表" / "常用短语.txt");          // removed
    write(user / "单词表" / "我的.txt", "mine\r\n");
    // A list naming a bank outside the folder must not reach it.
    write(root / "home" / ".local" / "share" / "入门词汇.txt", "cat\r\n");
    std::ofstream(user / ".bundled-banks", std::ios::app) << "../../入门词汇.txt\n";

    write(installed / "单词表" / "01示例" / "常用短语.txt", "ice cream\r\n");
    write(installed / "单词表" / "04四级" / "四级-002.txt", "able\r\n");
    write(installed / "单词表" / "新名.txt", "same\r\n");
    qtport::prepareUserFolder(installed, user);
    qtport::prepareUserFolder(installed, user);  // a later start changes nothing

    const fs::path banks = user / "单词表";
    // Unchanged: moved, under a new folder or a new name.
    EXPECT_EQ(read(banks / "01示例" / "入门词汇.txt"), "cat\r\n");
    EXPECT_EQ(read(banks / "04四级" / "四级-002.txt"), "able\r\n");
    EXPECT_EQ(read(banks / "新名.txt"), "same\r\n");
    for (const char* gone : {"入门词汇.txt", "四级/四级-002.txt", "旧名.txt"})
        EXPECT_FALSE(fs::exists(banks / gone));
    // Changed or removed by the learner: left so, and not copied again.
    EXPECT_EQ(read(banks / "常用词汇.txt"), "apple\r\n");
    EXPECT_EQ(read(banks / "四级" / "四级-001.txt"), "ability\r\n");
    for (const char* absent :
         {"01示例/常用词汇.txt", "04四级/四级-001.txt", "常用短语.txt", "01示例/常用短语.txt"})
        EXPECT_FALSE(fs::exists(banks / absent)) << absent;
    EXPECT_EQ(read(banks / "我的.txt"), "mine\r\n");
    EXPECT_EQ(read(root / "home" / ".local" / "share" / "入门词汇.txt"), "cat\r\n");
    // The list names the bundled banks the folder now stands for.
    std::set<std::string> listed;
    std::istringstream list(read(user / ".bundled-banks"));
    for (std::string line; std::getline(list, line);) listed.insert(line);
    EXPECT_EQ(listed, (std::set<std::string>{"../../入门词汇.txt", "01示例/入门词汇.txt",
                                             "01示例/常用短语.txt", "01示例/常用词汇.txt",
                                             "04四级/四级-001.txt", "04四级/四级-002.txt", "新名.txt"}));
    EXPECT_EQ(leftovers(), 0);
}

TEST_F(UserFolderTest, OnlyAMarkedInstallationUsesTheXdgDataFolder) {
    EXPECT_FALSE(posix::usesPerUserFolder(installed.string()));
    write(installed / posix::kPerUserFolderMarker, "");
    EXPECT_TRUE(posix::usesPerUserFolder(installed.string()));

    EXPECT_EQ(posix::perUserFolder("/data/", "/home/ann"), "/data/vorbelzoz");
    EXPECT_EQ(posix::perUserFolder(nullptr, "/home/ann"), "/home/ann/.local/share/vorbelzoz");
    // A relative XDG_DATA_HOME is invalid and ignored.
    EXPECT_EQ(posix::perUserFolder("data", "/home/ann/"), "/home/ann/.local/share/vorbelzoz");
}

}  // namespace
