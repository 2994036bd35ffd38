// A bank file: read with readText from a real file, whole or in pieces whose
// length the first byte chooses, then cut into entries with splitEntries.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "runtime/files.h"
#include "wordbank/bank_files.h"

namespace {

const Text& bankPath() {
    static const Text path = [] {
        std::string name = std::filesystem::temp_directory_path() / "vorbelzoz-fuzz-bank-XXXXXX";
        int fd = mkstemp(name.data());
        if (fd < 0) std::abort();
        close(fd);
        return name;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int pieceLength = data[0] == 0 ? -1 : data[0];
    const Bytes content(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (!writeFile(bankPath(), content)) std::abort();

    int file = openFile(bankPath(), 1, 1);
    if (file == 0) std::abort();
    Text text;
    for (Text piece = readText(file, pieceLength); !piece.empty(); piece = readText(file, pieceLength)) {
        text += piece;
        if (text.size() > content.size() || pieceLength == -1) break;
    }
    closeFile(file);
    // The text read is the file's start, never more.
    if (content.compare(0, text.size(), text) != 0) __builtin_trap();

    std::size_t total = 0;
    for (const Text& entry : splitEntries(text)) total += entry.size();
    if (total > text.size()) __builtin_trap();
    return 0;
}
