// Sound effects: WAV files from the 音效 folder, played asynchronously by
// the platform, several at once.
#include "lookup/sound_effects.h"

#include <cstdint>

#include "runtime/files.h"

namespace {

std::uint32_t readLe32(const Bytes& data, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(data[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 3])) << 24;
}

int readLe16(const Bytes& data, std::size_t at) {
    return static_cast<unsigned char>(data[at]) | static_cast<unsigned char>(data[at + 1]) << 8;
}

constexpr std::size_t kRiffHeaderSize = 12;
constexpr std::size_t kChunkHeaderSize = 8;
constexpr std::size_t kMinFormatSize = 16;

}  // namespace

Text soundEffectPath(const Text& fileName) {
    return programFolder() + "\\音效\\" + fileName;
}

bool parseWav(const Bytes& data, WavSound& sound) {
    if (data.size() < kRiffHeaderSize || data.compare(0, 4, "RIFF") != 0 || data.compare(8, 4, "WAVE") != 0) {
        return false;
    }
    bool haveFormat = false;
    bool haveData = false;
    WavSound parsed;
    // Chunks follow the header back to back, each padded to an even size.
    // Sizes come from the file, so every step is checked against its end.
    std::size_t at = kRiffHeaderSize;
    while (data.size() - at >= kChunkHeaderSize && !(haveFormat && haveData)) {
        std::uint32_t size = readLe32(data, at + 4);
        std::size_t body = at + kChunkHeaderSize;
        std::size_t available = data.size() - body;
        if (data.compare(at, 4, "fmt ") == 0 && !haveFormat) {
            if (size < kMinFormatSize || available < kMinFormatSize) return false;
            parsed.formatTag = readLe16(data, body);
            parsed.channels = readLe16(data, body + 2);
            parsed.samplesPerSecond = static_cast<int>(readLe32(data, body + 4) & 0x7FFFFFFF);
            parsed.blockAlign = readLe16(data, body + 12);
            parsed.bitsPerSample = readLe16(data, body + 14);
            // Zeros here would leave the output nothing sensible to play.
            if (parsed.channels == 0 || parsed.samplesPerSecond == 0 || parsed.bitsPerSample == 0 ||
                parsed.blockAlign == 0) {
                return false;
            }
            haveFormat = true;
        } else if (data.compare(at, 4, "data") == 0 && !haveData) {
            // A file cut short plays what it holds.
            std::size_t length = size < available ? size : available;
            if (length > 0) {
                parsed.samples = data.substr(body, length);
                haveData = true;
            }
        }
        std::size_t padded = static_cast<std::size_t>(size) + (size & 1);
        if (padded >= available) break;
        at = body + padded;
    }
    if (!haveFormat || !haveData) return false;
    sound = parsed;
    return true;
}

bool playSound(const Text& file, bool loop) {
    bool ok = false;
    Bytes data = readFileBytes(file, ok);
    if (!ok) return false;
    WavSound sound;
    if (!parseWav(data, sound)) return false;
    return platform().startSound(sound, loop);
}

void stopAllSounds() {
    platform().stopAllSounds();
}
