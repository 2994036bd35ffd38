// The learner's own program folder of an installed program: which folder it
// is, and how each start prepares it from the installed one.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
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
        write(installed / "单词表" / "常用词汇.txt", "apple\r\nbanana\r\n");
        write(installed / "单词表" / "入门词汇.txt", "cat\r\n");
        write(installed / "单词表" / "四级" / "第01章.txt", "abandon\r\n");
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

    EXPECT_EQ(read(user / "单词表" / "常用词汇.txt"), "apple\r\nbanana\r\n");
    EXPECT_EQ(read(user / "单词表" / "入门词汇.txt"), "cat\r\n");
    EXPECT_EQ(read(user / "单词表" / "四级" / "第01章.txt"), "abandon\r\n");
    EXPECT_TRUE(fs::is_directory(user / "mp3"));
    EXPECT_TRUE(fs::is_directory(user / "日志"));
    // The effects are read from the installed folder.
    EXPECT_TRUE(fs::is_symlink(user / "音效"));
    EXPECT_EQ(read(user / "音效" / "开始.wav"), "RIFF");
    EXPECT_EQ(leftovers(), 0);
}

TEST_F(UserFolderTest, LaterStartsKeepTheLearnersBanksAndAddOnlyNewOnes) {
    qtport::prepareUserFolder(installed, user);
    write(user / "单词表" / "常用词汇.txt", "apple\r\n");  // edited
    fs::remove(user / "单词表" / "入门词汇.txt");          // removed
    write(user / "单词表" / "我的.txt", "mine\r\n");       // the learner's own
    // A newer version brings two banks, one of them named like the learner's.
    write(installed / "单词表" / "四级" / "第02章.txt", "ability\r\n");
    write(installed / "单词表" / "我的.txt", "bundled\r\n");

    qtport::prepareUserFolder(installed, user);

    EXPECT_EQ(read(user / "单词表" / "常用词汇.txt"), "apple\r\n");
    EXPECT_FALSE(fs::exists(user / "单词表" / "入门词汇.txt"));
    EXPECT_EQ(read(user / "单词表" / "我的.txt"), "mine\r\n");
    EXPECT_EQ(read(user / "单词表" / "四级" / "第02章.txt"), "ability\r\n");
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
