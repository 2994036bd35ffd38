#include "runtime/qt/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

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
        if (chunkOnChannel[channel] != nullptr && Mix_Playing(static_cast<int>(channel)) == 0) {
            Mix_FreeChunk(chunkOnChannel[channel]);
            chunkOnChannel[channel] = nullptr;
        }
    }
}

void appendLittleEndian(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

int playOnFreeChannel(Mix_Chunk* chunk, bool loop) {
    int loops = loop ? -1 : 0;
    int channel = Mix_PlayChannel(-1, chunk, loops);
    if (channel < 0) {
        // Every channel is busy: a new effect never cuts an older one, so grow.
        int count = Mix_AllocateChannels(-1);
        Mix_AllocateChannels(count * 2);
        channel = Mix_PlayChannel(-1, chunk, loops);
    }
    return channel;
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
    if (sound.samples.empty() || !audioReady()) return false;
    freeFinishedChunks();
    Bytes file = riffFile(sound);
    SDL_RWops* stream = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    if (stream == nullptr) return false;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(stream, 1);  // converted to the mixer's format, a copy
    if (chunk == nullptr) return false;
    int channel = playOnFreeChannel(chunk, loop);
    if (channel < 0) {
        Mix_FreeChunk(chunk);
        return false;
    }
    if (chunkOnChannel.size() <= static_cast<std::size_t>(channel))
        chunkOnChannel.resize(channel + 1, nullptr);
    // A channel that finished after the sweep may have been handed out again.
    if (chunkOnChannel[channel] != nullptr) Mix_FreeChunk(chunkOnChannel[channel]);
    chunkOnChannel[channel] = chunk;
    return true;
}

void stopAllSounds() {
    if (!audioReady()) return;
    Mix_HaltChannel(-1);
    for (Mix_Chunk*& chunk : chunkOnChannel) {
        if (chunk != nullptr) Mix_FreeChunk(chunk);
        chunk = nullptr;
    }
}

}  // namespace qtport
