// Sound effects and the pronunciation player on SDL2_mixer, run on SDL's
// silent audio driver so that playback really happens.
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "lookup/sound_effects.h"
#include "qt_test_support.h"
#include "runtime/codepage.h"
#include "runtime/qt/audio_device.h"
#include "runtime/qt/media.h"
#include "runtime/qt/sound.h"

namespace {

WavSound pcmSound(int milliseconds) {
    WavSound sound;
    sound.formatTag = 1;
    sound.channels = 1;
    sound.samplesPerSecond = 8000;
    sound.bitsPerSample = 16;
    sound.blockAlign = 2;
    sound.samples = Bytes(static_cast<std::size_t>(8 * milliseconds * 2), '\x10');
    return sound;
}

// Silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz), as the test server
// sends for a pronunciation.
QByteArray silentMp3(int frames) {
    QByteArray frame(417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = '\x90';
    frame[3] = '\x64';
    return frame.repeated(frames);
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtport::audioReady()) << "SDL's dummy audio driver is needed"; }
    void TearDown() override {
        qtport::stopAllSounds();
        qtport::closeAllMedia();
    }
};

TEST_F(SoundTest, TheRiffFileWrittenForTheMixerParsesBackToTheSameSound) {
    WavSound original = pcmSound(10);
    WavSound parsed;
    ASSERT_TRUE(parseWav(qtport::riffFile(original), parsed));
    EXPECT_EQ(parsed.channels, 1);
    EXPECT_EQ(parsed.samplesPerSecond, 8000);
    EXPECT_EQ(parsed.bitsPerSample, 16);
    EXPECT_EQ(parsed.samples, original.samples);
}

TEST_F(SoundTest, EffectsOverlapLoopUntilStoppedAndAllStopAtOnce) {
    // More effects than the mixer starts with: a new one never cuts an old one.
    for (int i = 0; i < 12; ++i) EXPECT_TRUE(qtport::startSound(pcmSound(2000), false));
    EXPECT_EQ(Mix_Playing(-1), 12);
    EXPECT_TRUE(qtport::startSound(pcmSound(20), true));
    QThread::msleep(300);  // the short looping effect has run out several times
    EXPECT_EQ(Mix_Playing(-1), 13);
    qtport::stopAllSounds();
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(SoundTest, SoundsAskedForBeforeTheOutputIsOpenPlayOnceItIsUnlessStopped) {
    // Closed again: the next sound opens the output on a thread and waits.
    qtport::closeAudio();
    EXPECT_TRUE(qtport::startSound(pcmSound(2000), true));
    EXPECT_TRUE(qtport::startSound(pcmSound(2000), false));
    EXPECT_FALSE(qtport::audioOpen());  // the mixer is not to be asked yet
    EXPECT_TRUE(QTest::qWaitFor([] { return qtport::audioOpen() && Mix_Playing(-1) == 2; }, 5000));

    // Stopped before the output is open: nothing plays once it is.
    qtport::closeAudio();
    EXPECT_TRUE(qtport::startSound(pcmSound(2000), true));
    qtport::stopAllSounds();
    EXPECT_TRUE(qtport::audioReady());
    QTest::qWait(100);
    EXPECT_EQ(Mix_Playing(-1), 0);

    // The pronunciation player needs the output at once and waits for it;
    // the effect asked for first starts with it, not after.
    qtport::closeAudio();
    EXPECT_TRUE(qtport::startSound(pcmSound(2000), false));
    EXPECT_TRUE(qtport::audioReady());
    EXPECT_EQ(Mix_Playing(-1), 1);
}

TEST_F(SoundTest, EmptyOrUndecodableDataPlaysNothing) {
    EXPECT_FALSE(qtport::startSound(WavSound(), false));
    WavSound odd = pcmSound(10);
    odd.formatTag = 0x55;  // MPEG data in a WAV file
    EXPECT_FALSE(qtport::startSound(odd, false));
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(SoundTest, MediaCommandsOpenPlayPauseStopAndCloseAnMp3) {
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral(u"苹果 pie.mp3"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(silentMp3(400));  // about ten seconds
    file.close();
    // A program path: GBK, with the backslashes the program writes.
    Text programPath = utf16ToGbk(path.replace(u'/', u'\\').toStdU16String());

    EXPECT_EQ(qtport::sendMediaCommand("Open \"" + programPath + "\" Alias MM"), 0);
    EXPECT_EQ(qtport::sendMediaCommand("play MM"), 0);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    EXPECT_EQ(qtport::sendMediaCommand("Pause MM"), 0);
    EXPECT_EQ(Mix_PausedMusic(), 1);
    EXPECT_EQ(qtport::sendMediaCommand("play MM"), 0);
    EXPECT_EQ(Mix_PausedMusic(), 0);
    EXPECT_EQ(qtport::sendMediaCommand("Stop MM"), 0);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_EQ(qtport::sendMediaCommand("close MM"), 0);
    EXPECT_EQ(qtport::sendMediaCommand("play MM"), qtport::kMediaInvalidDeviceName);

    // Unquoted, the blank splits the command and nothing is opened.
    EXPECT_EQ(qtport::sendMediaCommand("Open " + programPath + " Alias MM"),
              qtport::kMediaUnrecognizedKeyword);
    EXPECT_EQ(qtport::sendMediaCommand("close MM"), qtport::kMediaInvalidDeviceName);
}

TEST_F(SoundTest, MediaCommandsRefuseDevicesMissingFilesAndDuplicateAliases) {
    QTemporaryDir folder;
    QString empty = folder.filePath("empty.mp3");
    QString valid = folder.filePath("valid.mp3");
    QFile(empty).open(QIODevice::WriteOnly);
    QFile validFile(valid);
    ASSERT_TRUE(validFile.open(QIODevice::WriteOnly));
    validFile.write(silentMp3(8));
    validFile.close();

    // The start-up commands: no such device, no CD alias open.
    EXPECT_EQ(qtport::sendMediaCommand("open mp3file Alias sonido"), qtport::kMediaInvalidDeviceName);
    EXPECT_EQ(qtport::sendMediaCommand("set cd time format tmsf wait"), qtport::kMediaInvalidDeviceName);
    EXPECT_EQ(qtport::sendMediaCommand("open cdaudio alias cd wait"), qtport::kMediaInvalidDeviceName);
    EXPECT_EQ(qtport::sendMediaCommand("play cd"), qtport::kMediaInvalidDeviceName);
    EXPECT_EQ(qtport::sendMediaCommand("stop cd wait"), qtport::kMediaInvalidDeviceName);
    EXPECT_EQ(qtport::sendMediaCommand("close cd"), qtport::kMediaInvalidDeviceName);

    EXPECT_EQ(qtport::sendMediaCommand("Open " + folder.filePath("none.mp3").toStdString() + " Alias MM"),
              qtport::kMediaFileNotFound);
    EXPECT_EQ(qtport::sendMediaCommand("Open " + empty.toStdString() + " Alias MM"),
              qtport::kMediaInvalidFile);
    EXPECT_EQ(qtport::sendMediaCommand("Open " + valid.toStdString() + " Alias MM"), 0);
    EXPECT_EQ(qtport::sendMediaCommand("OPEN " + valid.toStdString() + " ALIAS mm"),
              qtport::kMediaDuplicateAlias);
    EXPECT_EQ(qtport::sendMediaCommand("rewind MM"), qtport::kMediaUnrecognizedCommand);
    EXPECT_EQ(qtport::sendMediaCommand(""), qtport::kMediaMissingCommandString);
}

}  // namespace
