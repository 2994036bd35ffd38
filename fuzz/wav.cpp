// The WAV parser on hostile sound files.
#include <cstdint>

#include "lookup/sound_effects.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes file(reinterpret_cast<const char*>(data), size);
    WavSound sound;
    if (!parseWav(file, sound)) return 0;
    if (sound.samples.empty() || sound.samples.size() > file.size() || sound.channels <= 0 ||
        sound.samplesPerSecond <= 0 || sound.bitsPerSample <= 0 || sound.blockAlign <= 0)
        __builtin_trap();
    return 0;
}
