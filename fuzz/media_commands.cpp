// The Linux backend's media-command interpreter on hostile command strings:
// one command a line, run against a folder holding a playable file, a file
// that is no sound and a sub-folder, on SDL's silent audio driver. Every
// input ends with "close all", so no alias outlives its input.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "runtime/qt/audio_device.h"
#include "runtime/qt/media.h"

namespace {

// 0.01 s of 8 kHz 8-bit mono silence: SDL_mixer plays it as music.
std::string tinyWav() {
    const std::string samples(80, '\x80');
    auto le32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 24)};
    };
    std::string format("\x01\x00\x01\x00", 4);
    format += le32(8000) + le32(8000) + std::string("\x01\x00\x08\x00", 4);
    return "RIFF" + le32(static_cast<std::uint32_t>(36 + samples.size())) + "WAVE" + "fmt " + le32(16) +
           format + "data" + le32(static_cast<std::uint32_t>(samples.size())) + samples;
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string folder = std::filesystem::temp_directory_path() / "vorbelzoz-fuzz-media-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr || chdir(folder.c_str()) != 0) std::abort();
    writeFile("a.mp3", tinyWav());
    writeFile("b.wav", tinyWav());
    writeFile("bad.mp3", "not a sound");
    if (mkdir("d", 0700) != 0) std::abort();
    writeFile("d/c.mp3", tinyWav());
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    qtport::audioReady();  // once, outside the inputs, so its allocations are no leak
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text input(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (start <= input.size()) {
        std::size_t end = input.find('\n', start);
        if (end == Text::npos) end = input.size();
        qtport::sendMediaCommand(input.substr(start, end - start));
        start = end + 1;
    }
    qtport::sendMediaCommand("close all");
    return 0;
}
