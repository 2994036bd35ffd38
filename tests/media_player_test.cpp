#include "lookup/media_player.h"

#include <gtest/gtest.h>

#include "app/quiz_state.h"
#include "support/fake_platform.h"

namespace {

using Commands = std::vector<Text>;

class MediaPlayer : public ::testing::Test {
protected:
    void SetUp() override { initQuizState(); }
    Commands sent() {
        Commands out = fake.mediaCommandTexts();
        fake.mediaCommands.clear();
        return out;
    }
    FakePlatform fake;
};

}  // namespace

TEST_F(MediaPlayer, TheFileBranchSendsTheCommandsByteForByte) {
    setMediaType("mp3");
    EXPECT_EQ(mediaType, "mp3");
    openMedia("毫秒");
    EXPECT_EQ(sent(), (Commands{"open mp3file Alias sonido", "set cd time format tmsf wait"}));
    openMedia("秒");
    EXPECT_EQ(sent(), (Commands{"open mp3file Alias sonido"}));

    playMedia("C:\\W\\mp3\\ice_cream.mp3");
    EXPECT_EQ(sent(), (Commands{"Open C:\\W\\mp3\\ice_cream.mp3 Alias MM", "play MM"}));
    stopMedia(1);
    EXPECT_EQ(sent(), (Commands{"Stop MM", "close MM"}));
    stopMedia(0);
    EXPECT_EQ(sent(), (Commands{"Pause MM"}));

    setMediaType("MP3");
    stopMedia(2);
    EXPECT_EQ(sent(), (Commands{"Pause MM"}));
}

TEST_F(MediaPlayer, APathWithABlankIsQuotedInTheOpenCommandOnly) {
    setMediaType("mp3");
    playMedia("C:\\Program Files\\W\\mp3\\ice_cream.mp3");
    EXPECT_EQ(sent(), (Commands{"Open \"C:\\Program Files\\W\\mp3\\ice_cream.mp3\" Alias MM", "play MM"}));
}

TEST_F(MediaPlayer, TheCdBranch) {
    setMediaType("cd");
    openMedia("毫秒");
    EXPECT_EQ(sent(), (Commands{"open cdaudio alias cd wait", "set cd time format tmsf wait"}));
    playMedia("ignored.mp3");
    EXPECT_EQ(sent(), (Commands{"play cd"}));
    stopMedia(0);
    EXPECT_EQ(sent(), (Commands{"stop cd wait"}));
    setMediaType("CD");
    stopMedia(1);
    EXPECT_EQ(sent(), (Commands{"stop cd wait", "close cd"}));
}

TEST_F(MediaPlayer, OtherCapitalsSelectNoBranchAndKeepThePreviousResult) {
    mediaResult = 263;
    for (const char* kind : {"Mp3", "mP3", "Cd", ""}) {
        setMediaType(kind);
        EXPECT_EQ(playMedia("a.mp3"), 263) << kind;
        EXPECT_EQ(stopMedia(1), 263) << kind;
        EXPECT_EQ(sent(), Commands{}) << kind;
    }
    // The time-format step does not look at the media type.
    EXPECT_EQ(openMedia("毫秒"), 0);
    EXPECT_EQ(sent(), (Commands{"set cd time format tmsf wait"}));
}

TEST_F(MediaPlayer, TheResultOfTheLastCommandIsKeptAndAFailureDoesNotStopTheNext) {
    setMediaType("mp3");
    fake.mediaResults["Open a.mp3 Alias MM"] = 275;
    EXPECT_EQ(playMedia("a.mp3"), 0);  // "play MM" ran after the failed open
    EXPECT_EQ(sent().size(), 2u);

    fake.mediaResults["play MM"] = 263;
    EXPECT_EQ(playMedia("a.mp3"), 263);
    EXPECT_EQ(mediaResult, 263);

    fake.mediaResults["set cd time format tmsf wait"] = 289;
    EXPECT_EQ(openMedia("毫秒"), 289);
    EXPECT_EQ(openMedia("x"), 0);
}
