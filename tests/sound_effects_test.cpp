#include "lookup/sound_effects.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"
#include "support/program_folder.h"

namespace {

Bytes le32(std::uint32_t v) {
    Bytes b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
}

Bytes chunk(const Bytes& id, const Bytes& body, std::uint32_t declaredSize) {
    Bytes out = id + le32(declaredSize) + body;
    if (body.size() % 2 == 1) out += '\0';
    return out;
}
Bytes chunk(const Bytes& id, const Bytes& body) {
    return chunk(id, body, static_cast<std::uint32_t>(body.size()));
}

// PCM, stereo, 22050 Hz, 16 bits.
const Bytes kFormat("\x01\x00\x02\x00\x22\x56\x00\x00\x88\x58\x01\x00\x04\x00\x10\x00", 16);

Bytes riff(const Bytes& chunks) {
    return "RIFF" + le32(static_cast<std::uint32_t>(chunks.size() + 4)) + "WAVE" + chunks;
}

bool parses(const Bytes& data) {
    WavSound sound;
    return parseWav(data, sound);
}

}  // namespace

TEST(ParseWav, ReadsTheFormatAndTheSamplesPastOtherChunks) {
    Bytes samples("\x00\x01\x02\x03\x00\x00\x1A\x00", 8);
    Bytes data = riff(chunk("LIST", "odd", 3) + chunk("fmt ", kFormat) + chunk("fact", "1234") +
                      chunk("data", samples));
    WavSound sound;
    ASSERT_TRUE(parseWav(data, sound));
    EXPECT_EQ(sound.formatTag, 1);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.samplesPerSecond, 22050);
    EXPECT_EQ(sound.blockAlign, 4);
    EXPECT_EQ(sound.bitsPerSample, 16);
    EXPECT_EQ(sound.samples, samples);
}

TEST(ParseWav, RejectsWhatIsNotAPlayableWave) {
    Bytes good = riff(chunk("fmt ", kFormat) + chunk("data", "abcd"));
    ASSERT_TRUE(parses(good));
    EXPECT_FALSE(parses(""));
    EXPECT_FALSE(parses(good.substr(0, 11)));
    EXPECT_FALSE(parses("RIFX" + good.substr(4)));
    EXPECT_FALSE(parses(good.substr(0, 8) + "WAV " + good.substr(12)));
    EXPECT_FALSE(parses(riff(chunk("data", "abcd"))));                       // no format
    EXPECT_FALSE(parses(riff(chunk("fmt ", kFormat))));                      // no data
    EXPECT_FALSE(parses(riff(chunk("fmt ", kFormat) + chunk("data", ""))));  // empty data
    EXPECT_FALSE(parses(riff(chunk("fmt ", kFormat.substr(0, 14)) + chunk("data", "abcd"))));
    Bytes noChannels = kFormat;
    noChannels[2] = 0;
    EXPECT_FALSE(parses(riff(chunk("fmt ", noChannels) + chunk("data", "abcd"))));
}

TEST(ParseWav, SizesThatRunPastTheEndAreNeverTrusted) {
    // A cut-off data chunk plays what is there.
    WavSound sound;
    ASSERT_TRUE(parseWav(riff(chunk("fmt ", kFormat) + chunk("data", "abcdef", 100000)), sound));
    EXPECT_EQ(sound.samples, "abcdef");
    // A huge chunk before the format hides the rest: no format, no crash.
    EXPECT_FALSE(parses(riff(chunk("junk", "x", 0xFFFFFFFF) + chunk("fmt ", kFormat) + chunk("data", "ab"))));
    // A format chunk cut short.
    EXPECT_FALSE(parses(riff(chunk("fmt ", kFormat.substr(0, 10), 16))));
    // A chunk header cut short after the format.
    EXPECT_FALSE(parses(riff(chunk("fmt ", kFormat) + "dat")));
}

TEST(SoundEffects, PlaysWaveFilesAndStopsThemAll) {
    FakePlatform fake;
    TestProgramFolder program;
    EXPECT_EQ(soundEffectPath("开始.wav"), program.folder() + "\\音效\\开始.wav");

    EXPECT_TRUE(playSound(soundEffectPath("开始.wav")));
    EXPECT_TRUE(playSound(soundEffectPath("选词.wav"), true));
    stopAllSounds();
    EXPECT_EQ(fake.soundLog(), (std::vector<Text>{"start 开始.wav", "start 选词.wav loop", "stop"}));
}

TEST(SoundEffects, SamplesWithZeroBytesArePlayedWhole) {
    FakePlatform fake;
    TestProgramFolder program;
    Bytes samples("\x80\x00\x1A\x00\x7F", 5);
    program.write("\\音效\\zero.wav", makeWav(samples));
    EXPECT_TRUE(playSound(soundEffectPath("zero.wav")));
    ASSERT_EQ(fake.sounds.size(), 1u);
    EXPECT_EQ(fake.sounds[0].sound.samples, samples);
}

TEST(SoundEffects, AMissingOrBrokenFilePlaysNothing) {
    FakePlatform fake;
    TestProgramFolder program;
    program.write("\\音效\\text.wav", "not a wave file");
    EXPECT_FALSE(playSound(soundEffectPath("missing.wav")));
    EXPECT_FALSE(playSound(soundEffectPath("text.wav")));
    EXPECT_FALSE(playSound(program.folder() + "\\音效"));  // a folder
    EXPECT_TRUE(fake.sounds.empty());

    fake.soundStartResult = false;
    EXPECT_FALSE(playSound(soundEffectPath("答对.wav")));
}
