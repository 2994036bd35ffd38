// Whole-file byte reads. readText stops at zero bytes and end-of-file marks,
// which binary files (WAV, MP3) are full of, so these go to the native layer
// directly.
#include "runtime/files.h"
#include "runtime/native_fs.h"

namespace {

constexpr int kModeRead = 1;
constexpr int kShareNone = 1;

}  // namespace

Bytes readFileBytes(const Text& path, bool& ok) {
    ok = false;
    if (path.empty()) return Bytes();
    native::FileHandle file = native::open(path, kModeRead, kShareNone);
    if (!file.valid()) return Bytes();
    Bytes data;
    char buffer[65536];
    for (;;) {
        long long got = native::read(file, buffer, sizeof buffer);
        if (got < 0) {
            native::close(file);
            return Bytes();
        }
        if (got == 0) break;
        data.append(buffer, static_cast<std::size_t>(got));
    }
    native::close(file);
    ok = true;
    return data;
}

bool fileHasBytes(const Text& path) {
    if (path.empty()) return false;
    native::FileHandle file = native::open(path, kModeRead, kShareNone);
    if (!file.valid()) return false;
    char byte = 0;
    long long got = native::read(file, &byte, 1);
    native::close(file);
    return got == 1;
}
