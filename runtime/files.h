// Files and folders. Every path is a program text (GBK, backslashes); the
// native layer decodes it before it reaches the operating system.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "runtime/bytes.h"
#include "runtime/text.h"

Text programFolder();  // without a trailing backslash
// False when GBK cannot hold the program folder's path: programFolder then
// names no real folder, and the program would find none of its files.
bool programFolderFitsGbk();
Text programFolderShown();  // as the system writes it, for messages
// Tests run the program against a folder of their own; the empty text goes
// back to the executable's folder.
void setProgramFolderForTesting(const Text& folder, bool fitsGbk = true);
bool fileExists(const Text& path);  // a wildcard pattern exists when it matches something
bool writeFile(const Text& path, std::initializer_list<Bytes> pieces);
bool writeFile(const Text& path, const Bytes& data);
// Writes data to a new file beside path and moves it into path's place only
// once every byte is written and on the disk, so a failed write (a full disk)
// leaves the old file as it was. An existing file that cannot be written
// (read-only, held open elsewhere) is left alone too, and the result false.
bool replaceFile(const Text& path, const Bytes& data);
// The names replaceFile tries for its temporary copy, attempt 1 to
// kTemporaryCopyAttempts; a crash mid-write leaves one of them behind.
constexpr int kTemporaryCopyAttempts = 100;
Text temporaryCopyName(const Text& path, int attempt);

// Modes: 1 read, 2 write, 3 read+write, 4 create(truncate)+write,
// 5 create-if-missing+write, 6 create-if-missing+read+write.
// Sharing: 1 none denied, 2 deny read, 3 deny write, 4 exclusive.
int openFile(const Text& path, int mode = 3, int share = 1);
Text readText(int fileNumber, int length = -1);  // -1: the rest of the file
bool writeBytes(int fileNumber, const Bytes& data);
void closeFile(int fileNumber);
bool moveFile(const Text& oldPath, const Text& newPath);  // fails when newPath exists
bool removeFile(const Text& path);                        // a file, never a folder

// The whole file byte for byte, zero bytes included; ok is false (and the
// result empty) when it cannot be opened or read.
Bytes readFileBytes(const Text& path, bool& ok);
// True when the path names a readable file holding at least one byte.
bool fileHasBytes(const Text& path);

// The same text for every path that leads to one folder, links followed;
// empty when unknown.
Text folderIdentity(const Text& folder);

enum class FindKind { FoldersOnly, FilesOnly };
struct FindState;  // one enumeration; each recursion level keeps its own
struct FindStateHolder {
    std::unique_ptr<FindState> state;
    FindStateHolder();
    ~FindStateHolder();
};
// A non-empty pattern starts a new enumeration, an empty one continues it.
// Returns the next bare name of the kind, or the empty text when done. Pipes,
// sockets and devices are neither files nor folders.
Text findFiles(const Text& pattern, FindKind kind, FindStateHolder& state);
