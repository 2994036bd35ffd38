// The file-system layer under runtime/files: one implementation per
// operating system (runtime/posix, runtime/win32). Paths arrive as program
// texts; each implementation converts them to its native form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/text.h"

namespace native {

struct FileHandle {
    std::intptr_t value = -1;
    bool valid() const { return value != -1; }
};

FileHandle open(const Text& path, int mode, int share);         // modes and sharing as openFile
long long read(FileHandle file, char* buffer, long long size);  // -1 on error
bool write(FileHandle file, const char* data, long long size);
long long tell(FileHandle file);
bool seek(FileHandle file, long long position);
void close(FileHandle file);
bool moveNoReplace(const Text& oldPath, const Text& newPath);
bool removeFile(const Text& path);  // a file, never a folder

struct DirEntry {
    Text name;  // bare name, GBK
    bool isFolder = false;
};
// Entries matching a pattern (folder + name with * and ?), including "." and
// ".." for "*", in the order the file system gives them. Empty when the
// pattern's folder cannot be read or nothing matches.
std::vector<DirEntry> list(const Text& pattern);
Text executableFolder();        // GBK program text, no trailing separator
bool exists(const Text& path);  // an existing file or folder (no wildcards)

// Milliseconds of the system's monotonic clock; the tick the runtime uses
// when no platform is installed. (<chrono> cannot be compiled with the GBK
// execution character set, so the clock comes from the operating system.)
std::int64_t steadyMilliseconds();

}  // namespace native
