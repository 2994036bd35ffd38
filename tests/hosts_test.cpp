#include "lookup/hosts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "runtime/files.h"

namespace fs = std::filesystem;

namespace {

struct ParseResult {
    bool ok;
    Text dictionary;
    Text speech;
};

ParseResult parse(const Text& content) {
    ParseResult result{false, "old-dict", "old-speech"};
    result.ok = parseHostSettings(content, result.dictionary, result.speech);
    return result;
}

class HostSettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("vz-hosts-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
        setProgramFolderForTesting(folder_.string());
    }
    void TearDown() override {
        setProgramFolderForTesting("");
        fs::remove_all(folder_);
        loadHostSettings();
    }
    void writeSettings(const std::string& content) {
        std::ofstream(folder_ / "vorbelzoz.ini", std::ios::binary) << content;
    }
    fs::path folder_;
};

}  // namespace

TEST(HostSettings, ReadsBothKeysWithCommentsBlanksAndEitherLineEnd) {
    ParseResult r = parse(
        "; hosts for the trainer\r\n"
        "# another comment\n"
        "\r\n"
        "  dictionary =  dict.example.org \r\n"
        "\tspeech=127.0.0.1:8080\n"
        "voice = rms\n");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.dictionary, "dict.example.org");
    EXPECT_EQ(r.speech, "127.0.0.1:8080");
}

TEST(HostSettings, AKeyLeftOutKeepsItsValue) {
    ParseResult r = parse("speech=tts.local:65535");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.dictionary, "old-dict");
    EXPECT_EQ(r.speech, "tts.local:65535");
    EXPECT_TRUE(parse("").ok);
}

TEST(HostSettings, AnythingMalformedRejectsTheWholeFileAndChangesNothing) {
    const char* malformed[] = {
        "dictionary=good.host\nvoice=other.host",  // not a voice name
        "dictionary=good.host\nspeech",            // no "="
        "dictionary=",                             // empty host
        "dictionary=:80",                          // no host name
        "dictionary=a host",                       // blank inside
        "dictionary=host/path",
        "dictionary=user@host",
        "speech=host:0",
        "speech=host:65536",
        "speech=host:",
        "speech=host:8o",
        "speech=host:80:81",
        "Dictionary=host",  // keys are exact
        "voices=rms",       // unknown key
        "voice=",
        "voice=rms\nspeech=host:0",
    };
    for (const char* content : malformed) {
        ParseResult r = parse(content);
        EXPECT_FALSE(r.ok) << content;
        EXPECT_EQ(r.dictionary, "old-dict") << content;
        EXPECT_EQ(r.speech, "old-speech") << content;
    }
}

TEST_F(HostSettingsFile, MissingFileGivesTheDefaults) {
    loadHostSettings();
    EXPECT_EQ(dictionaryHost(), "127.0.0.1:47800");
    EXPECT_EQ(speechHost(), "127.0.0.1:47800");
}

TEST_F(HostSettingsFile, FileOverridesTheDefaults) {
    writeSettings("dictionary=127.0.0.1:5001\r\nspeech=localhost:5002\r\n");
    loadHostSettings();
    EXPECT_EQ(dictionaryHost(), "127.0.0.1:5001");
    EXPECT_EQ(speechHost(), "localhost:5002");

    // As Notepad saves it, with a UTF-8 byte-order mark.
    writeSettings(
        "\xEF\xBB\xBF"
        "dictionary=127.0.0.1:5003\r\n");
    loadHostSettings();
    EXPECT_EQ(dictionaryHost(), "127.0.0.1:5003");
}

TEST_F(HostSettingsFile, MalformedFileGivesTheDefaults) {
    writeSettings("dictionary=127.0.0.1:5001\r\nspeech=localhost:99999\r\n");
    loadHostSettings();
    EXPECT_EQ(dictionaryHost(), "127.0.0.1:47800");
    EXPECT_EQ(speechHost(), "127.0.0.1:47800");

    writeSettings(std::string("dictionary=127.0.0.1:5001\0garbage", 33));
    loadHostSettings();
    EXPECT_EQ(dictionaryHost(), "127.0.0.1:47800");
}

TEST_F(HostSettingsFile, ReloadingAfterTheFileIsGoneRestoresTheDefaults) {
    writeSettings("speech=tts.local");
    loadHostSettings();
    EXPECT_EQ(speechHost(), "tts.local");
    fs::remove(folder_ / "vorbelzoz.ini");
    loadHostSettings();
    EXPECT_EQ(speechHost(), "127.0.0.1:47800");
}
