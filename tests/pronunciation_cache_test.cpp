#include "lookup/pronunciation_cache.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "runtime/files.h"
#include "support/fake_platform.h"
#include "support/program_folder.h"

namespace {

const Bytes kMp3 = Bytes("ID3\x03\x00\x00mp3 data", 14);

HttpResponse answer(int status, const Bytes& body, bool completed = true) {
    HttpResponse response;
    response.completed = completed;
    response.status = status;
    response.body = body;
    return response;
}

class PronunciationCache : public ::testing::Test {
protected:
    // Every speech request gets the MP3 unless a test says otherwise.
    void SetUp() override {
        fake.httpResponder = [this](const HttpRequest&) { return response; };
    }
    int requests() const { return static_cast<int>(fake.httpRequests.size()); }

    FakePlatform fake;
    TestProgramFolder program;
    HttpResponse response = answer(200, kMp3);
};

}  // namespace

TEST(PronunciationUrl, CarriesTheWordRawInTheFixedQuery) {
    EXPECT_EQ(pronunciationUrl("ice cream"),
              "http://127.0.0.1:47800/text2audio?lan=uk&pid=101&ie=UTF-8&text=ice cream&spd=2");
}

TEST_F(PronunciationCache, AWordIsDownloadedOnceAndThenServedFromTheCache) {
    Text path = cachePronunciation("apple");
    EXPECT_EQ(path, program.folder() + "\\mp3\\apple.mp3");
    EXPECT_EQ(program.read("\\mp3\\apple.mp3"), kMp3);
    ASSERT_EQ(requests(), 1);
    EXPECT_EQ(fake.httpRequests[0].request.host, "127.0.0.1");
    EXPECT_EQ(fake.httpRequests[0].request.port, 47800);
    EXPECT_EQ(fake.httpRequests[0].request.object, "/text2audio?lan=uk&pid=101&ie=UTF-8&text=apple&spd=2");

    EXPECT_EQ(cachePronunciation("apple"), path);
    EXPECT_EQ(requests(), 1);
}

TEST_F(PronunciationCache, APhraseIsRequestedWithItsBlankAndCachedWithAnUnderscore) {
    Text path = cachePronunciation("ice cream");
    EXPECT_EQ(path, program.folder() + "\\mp3\\ice_cream.mp3");
    ASSERT_EQ(requests(), 1);
    EXPECT_EQ(fake.httpRequests[0].request.object,
              "/text2audio?lan=uk&pid=101&ie=UTF-8&text=ice cream&spd=2");
    EXPECT_EQ(program.read("\\mp3\\ice_cream.mp3"), kMp3);
    EXPECT_FALSE(program.exists("\\mp3\\ice cream.mp3"));  // moved, not copied

    cachePronunciation("ice cream");
    EXPECT_EQ(requests(), 1);
}

TEST_F(PronunciationCache, AFileThatCannotBeMovedStaysUnderItsDownloadNameAndCountsAsCached) {
    program.makeFolder("\\mp3\\ice_cream.mp3");  // the cache name is taken by a folder
    cachePronunciation("ice cream");
    EXPECT_EQ(program.read("\\mp3\\ice cream.mp3"), kMp3);
    cachePronunciation("ice cream");
    EXPECT_EQ(requests(), 1);
}

TEST_F(PronunciationCache, AHashCutsTheRequestButNotTheFileName) {
    Text path = cachePronunciation("C#");
    ASSERT_EQ(requests(), 1);
    EXPECT_EQ(fake.httpRequests[0].request.object, "/text2audio?lan=uk&pid=101&ie=UTF-8&text=C");
    EXPECT_EQ(path, program.folder() + "\\mp3\\C#.mp3");
    EXPECT_EQ(program.read("\\mp3\\C#.mp3"), kMp3);
}

TEST_F(PronunciationCache, AFailedDownloadLeavesNoFileAndIsTriedAgain) {
    const HttpResponse failures[] = {
        answer(0, "", false),           // no answer at all
        answer(200, "partial", false),  // connection lost while reading
        answer(404, "<html>not found</html>"),
        answer(500, "oops"),
        answer(200, ""),  // empty body
    };
    for (const HttpResponse& failure : failures) {
        response = failure;
        int before = requests();
        Text path = cachePronunciation("ice cream");
        EXPECT_EQ(path, program.folder() + "\\mp3\\ice_cream.mp3");
        EXPECT_FALSE(program.exists("\\mp3\\ice_cream.mp3")) << failure.status;
        EXPECT_FALSE(program.exists("\\mp3\\ice cream.mp3")) << failure.status;
        EXPECT_EQ(requests(), before + 1);
    }
    response = answer(200, kMp3);
    cachePronunciation("ice cream");
    EXPECT_EQ(program.read("\\mp3\\ice_cream.mp3"), kMp3);
}

// A write cut short, as on a full disk (here by the file-size limit), must
// not leave a truncated MP3 that counts as cached, nor a temporary file.
TEST_F(PronunciationCache, AWriteCutShortIsNeverCached) {
    const Bytes body(16 * 1024, 'm');
    response = answer(200, body);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 4096;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    cachePronunciation("apple");
    cachePronunciation("ice cream");
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(requests(), 2);
    EXPECT_TRUE(std::filesystem::is_empty(program.nativePath("\\mp3")));
    cachePronunciation("apple");
    EXPECT_EQ(requests(), 3);
    EXPECT_TRUE(program.read("\\mp3\\apple.mp3") == body);
}

TEST_F(PronunciationCache, AnEmptyCacheFileCountsAsMissing) {
    program.write("\\mp3\\apple.mp3", "");
    cachePronunciation("apple");
    EXPECT_EQ(requests(), 1);
    EXPECT_EQ(program.read("\\mp3\\apple.mp3"), kMp3);

    // With blanks the rename cannot replace the empty file; it is refilled.
    program.write("\\mp3\\ice_cream.mp3", "");
    cachePronunciation("ice cream");
    EXPECT_EQ(requests(), 2);
    EXPECT_EQ(program.read("\\mp3\\ice_cream.mp3"), kMp3);
    cachePronunciation("ice cream");
    EXPECT_EQ(requests(), 2);
}

TEST_F(PronunciationCache, AProgramFolderWithABlankKeepsItsName) {
    program.makeFolder("\\Program Files\\mp3");
    const Text folder = program.folder() + "\\Program Files";
    setProgramFolderForTesting(folder);
    Text path = cachePronunciation("ice cream");
    EXPECT_EQ(path, folder + "\\mp3\\ice_cream.mp3");
    EXPECT_EQ(program.read("\\Program Files\\mp3\\ice_cream.mp3"), kMp3);
    EXPECT_FALSE(program.exists("\\Program_Files"));
}

TEST(CacheFileName, CharactersNoFileNameMayHoldBecomeUnderscores) {
    EXPECT_EQ(cacheFileName("ice cream"), "ice_cream");
    EXPECT_EQ(cacheFileName("..\\..\\evil"), ".._.._evil");
    EXPECT_EQ(cacheFileName("../x"), ".._x");
    EXPECT_EQ(cacheFileName("c:x*y?\"<a>|"), "c_x_y___a__");
    EXPECT_EQ(cacheFileName("tab\there\r\n"), "tab_here__");
    EXPECT_EQ(cacheFileName("."), "_");
    EXPECT_EQ(cacheFileName(".."), "__");
    EXPECT_EQ(cacheFileName("..."), "...");
    EXPECT_EQ(cacheFileName("a.b"), "a.b");
}

TEST(CacheFileName, TrailBytesOfChineseCharactersAreNeverTouched) {
    // 乗 is 81 5C and 亅 is 81 7C in GBK: their second bytes look like "\" and "|".
    EXPECT_EQ(cacheFileName("\x81\x5C \x81\x7C"), "\x81\x5C_\x81\x7C");
    EXPECT_EQ(cacheFileName("苹果 派"), "苹果_派");
}

TEST(CacheFileName, WindowsDeviceNamesAreNotUsedAsFileNames) {
    EXPECT_EQ(cacheFileName("con"), "_con");
    EXPECT_EQ(cacheFileName("NUL"), "_NUL");
    EXPECT_EQ(cacheFileName("com1"), "_com1");
    EXPECT_EQ(cacheFileName("aux.x"), "_aux.x");
    EXPECT_EQ(cacheFileName("console"), "console");
    EXPECT_EQ(cacheFileName("com0"), "com0");
}

TEST_F(PronunciationCache, NoEntryWritesOutsideTheMp3Folder) {
    // Unmended, these would land beside the mp3 folder, still inside the
    // test's own temporary folder.
    for (const Text& word : {Text("../escaped"), Text("..\\escaped"), Text(".."), Text("a/b c")}) {
        Text path = cachePronunciation(word);
        EXPECT_EQ(path.rfind(program.folder() + "\\mp3\\", 0), 0u) << word;
        EXPECT_EQ(path.find('/', program.folder().size()), Text::npos) << word;
    }
    EXPECT_EQ(program.read("\\mp3\\.._escaped.mp3"), kMp3);
    EXPECT_EQ(program.read("\\mp3\\__.mp3"), kMp3);
    EXPECT_EQ(program.read("\\mp3\\a_b_c.mp3"), kMp3);
    EXPECT_FALSE(program.exists("\\escaped.mp3"));
    EXPECT_FALSE(program.exists("\\.mp3"));
    EXPECT_FALSE(program.exists("\\mp3\\a"));
}
