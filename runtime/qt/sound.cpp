#include "runtime/qt/sound.h"

#include <cstdint>
#include <vector>

#include "runtime/qt/audio_device.h"

namespace qtport {

namespace {

// The chunk each mixer channel plays, so it can be freed once done. Freed on
// the GUI thread only (never from the mixer's callback): finished chunks go
// when the next sound starts or when all are stopped.
std::vector<Mix_Chunk*> chunkOnChannel;

void freeFinishedChunks() {
    for (std::size_t channel = 0; channel < chunkOnChannel.size(); ++channel) {
        if (chunkOnChannel[channel] != nullptr && mixer().playing(static_cast<int>(channel)) == 0) {
            mixer().freeChunk(chunkOnChannel[channel]);
            chunkOnChannel[channel] = nullptr;
        }
    }
}

void appendLittleEndian(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

int playOnFreeChannel(Mix_Chunk* chunk, bool loop) {
    int loops = loop ? -1 : 0;
    int channel = mixer().playChannel(-1, chunk, loops);
    if (channel < 0) {
        // Every channel is busy: a new effect never cuts an older one, so grow.
        int count = mixer().allocateChannels(-1);
        mixer().allocateChannels(count * 2);
        channel = mixer().playChannel(-1, chunk, loops);
    }
    return channel;
}

bool play(const Bytes& file, bool loop) {
    freeFinishedChunks();
    SDL_RWops* stream = mixer().rwFromConstMem(file.data(), static_cast<int>(file.size()));
    if (stream == nullptr) return false;
    Mix_Chunk* chunk = mixer().loadWavRw(stream, 1);  // converted to the mixer's format, a copy
    if (chunk == nullptr) return false;
    int channel = playOnFreeChannel(chunk, loop);
    if (channel < 0) {
        mixer().freeChunk(chunk);
        return false;
    }
    if (chunkOnChannel.size() <= static_cast<std::size_t>(channel))
        chunkOnChannel.resize(channel + 1, nullptr);
    // A channel that finished after the sweep may have been handed out again.
    if (chunkOnChannel[channel] != nullptr) mixer().freeChunk(chunkOnChannel[channel]);
    chunkOnChannel[channel] = chunk;
    return true;
}

struct PendingSound {
    Bytes file;
    bool loop = false;
};
std::vector<PendingSound> pendingSounds;

void flushPendingSounds() {
    std::vector<PendingSound> waiting;
    waiting.swap(pendingSounds);
    for (const PendingSound& sound : waiting) play(sound.file, sound.loop);
}

}  // namespace

Bytes riffFile(const WavSound& sound) {
    // Extensible headers are written as plain PCM or float: their extra fields
    // are not kept by the parser.
    int formatTag = sound.formatTag == 0xFFFE ? 1 : sound.formatTag;
    int blockAlign =
        sound.blockAlign > 0 ? sound.blockAlign : sound.channels * ((sound.bitsPerSample + 7) / 8);
    Bytes out = "RIFF";
    appendLittleEndian(out, static_cast<std::uint32_t>(4 + 8 + 16 + 8 + sound.samples.size()), 4);
    out += "WAVEfmt ";
    appendLittleEndian(out, 16, 4);
    appendLittleEndian(out, static_cast<std::uint32_t>(formatTag), 2);
    appendLittleEndian(out, static_cast<std::uint32_t>(sound.channels), 2);
    appendLittleEndian(out, static_cast<std::uint32_t>(sound.samplesPerSecond), 4);
    appendLittleEndian(out, static_cast<std::uint32_t>(sound.samplesPerSecond * blockAlign), 4);
    appendLittleEndian(out, static_cast<std::uint32_t>(blockAlign), 2);
    appendLittleEndian(out, static_cast<std::uint32_t>(sound.bitsPerSample), 2);
    out += "data";
    appendLittleEndian(out, static_cast<std::uint32_t>(sound.samples.size()), 4);
    out += sound.samples;
    return out;
}

bool startSound(const WavSound& sound, bool loop) {
    if (sound.samples.empty()) return false;
    if (!audioOpen()) {
        // The sound waits, in order with any others, while a thread opens the
        // output: the bank window asks for its background sound as it is
        // created and must not wait for SDL to load before it is shown.
        if (!openAudioInBackground(flushPendingSounds)) {
            pendingSounds.clear();
            return false;
        }
        pendingSounds.push_back(PendingSound{riffFile(sound), loop});
        return true;
    }
    flushPendingSounds();
    return play(riffFile(sound), loop);
}

void stopAllSounds() {
    pendingSounds.clear();
    if (!audioOpen()) return;
    mixer().haltChannel(-1);
    for (Mix_Chunk*& chunk : chunkOnChannel) {
        if (chunk != nullptr) mixer().freeChunk(chunk);
        chunk = nullptr;
    }
}

}  // namespace qtport
