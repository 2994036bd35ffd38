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

// Modes and sharing as openFile, and mode 7: a new file for writing, which
// fails when anything of that name exists, a link included. Only plain files
// open: never a folder, a pipe or a device, and opening never waits.
constexpr int kModeCreateNew = 7;
FileHandle open(const Text& path, int mode, int share);
long long read(FileHandle file, char* buffer, long long size);  // -1 on error
bool write(FileHandle file, const char* data, long long size);
long long tell(FileHandle file);
bool seek(FileHandle file, long long position);
bool flush(FileHandle file);  // false when the written data may not be on the disk
bool close(FileHandle file);  // false when the system reports a failed write
bool moveNoReplace(const Text& oldPath, const Text& newPath);
// Moves a file over another in one step: newPath names either the old file or
// the new one, never a partial one. Both in the same folder.
bool replace(const Text& oldPath, const Text& newPath);
bool remove(const Text& path);  // a file
// Makes one folder (its parent must exist); true also when it is there
// already as a folder.
bool makeFolder(const Text& path);

struct DirEntry {
    Text name;  // bare name, GBK
    bool isFolder = false;
    bool isSpecial = false;  // neither a file nor a folder: a pipe, socket or device
};
// Entries matching a pattern (folder + name with * and ?), including "." and
// ".." for "*", in the order the file system gives them. Empty when the
// pattern's folder cannot be read or nothing matches.
std::vector<DirEntry> list(const Text& pattern);
struct ExecutableFolder {
    Text path;  // GBK program text, no trailing separator
    // False when GBK cannot hold some character of the folder's path: '?'
    // stands in for it, and the path names no real folder.
    bool fitsGbk = true;
    Text shown;  // the folder as the system writes it, for messages
};
ExecutableFolder executableFolder();
// The path as the system names it, in UTF-8, for libraries that open files
// themselves (SQLite).
std::string utf8Path(const Text& path);
bool exists(const Text& path);  // an existing file or folder (no wildcards)
// The same text for every path that leads to one folder, links followed
// (device and inode, or volume and file index); empty when unknown.
Text folderIdentity(const Text& path);

// Milliseconds of the system's monotonic clock; the tick the runtime uses
// when no platform is installed. (<chrono> cannot be compiled with the GBK
// execution character set, so the clock comes from the operating system.)
std::int64_t steadyMilliseconds();

}  // namespace native
