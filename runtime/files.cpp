// Files and folders on top of the native layer: the program folder, file
// numbers for open files, text reading with its stop bytes, and folder
// enumeration.
#include "runtime/files.h"

#include <string>
#include <vector>

#include "runtime/native_fs.h"

namespace {

Text programFolderOverride;
bool programFolderOverrideFits = true;

const native::ExecutableFolder& executableFolder() {
    static const native::ExecutableFolder folder = native::executableFolder();
    return folder;
}

// File number n is slot n - 1; a closed slot is reused.
std::vector<native::FileHandle> openFiles;

native::FileHandle* fileOf(int fileNumber) {
    if (fileNumber < 1 || static_cast<std::size_t>(fileNumber) > openFiles.size()) return nullptr;
    native::FileHandle* file = &openFiles[static_cast<std::size_t>(fileNumber) - 1];
    return file->valid() ? file : nullptr;
}

bool hasWildcard(const Text& path) {
    return path.find_first_of("*?") != Text::npos;
}

// Bytes up to the first stop byte found at a character start: a zero byte or
// the end-of-file mark 0x1A. A trail byte is never tested, except that a zero
// byte after a lead byte ends the text before that lead byte.
std::size_t textLength(const Bytes& data) {
    std::size_t at = 0;
    while (at < data.size()) {
        unsigned char c = static_cast<unsigned char>(data[at]);
        if (c == 0x00 || c == 0x1A) return at;
        if (isLeadByte(c) && at + 1 < data.size()) {
            if (data[at + 1] == '\0') return at;
            at += 2;
        } else {
            ++at;
        }
    }
    return at;
}

}  // namespace

void setProgramFolderForTesting(const Text& folder, bool fitsGbk) {
    programFolderOverride = folder;
    programFolderOverrideFits = fitsGbk;
}

Text programFolder() {
    if (!programFolderOverride.empty()) return programFolderOverride;
    return executableFolder().path;
}

bool programFolderFitsGbk() {
    if (!programFolderOverride.empty()) return programFolderOverrideFits;
    return executableFolder().fitsGbk;
}

Text programFolderShown() {
    if (!programFolderOverride.empty()) return programFolderOverride;
    return executableFolder().shown;
}

bool fileExists(const Text& path) {
    if (path.empty()) return false;
    if (hasWildcard(path)) return !native::list(path).empty();
    return native::exists(path);
}

bool writeFile(const Text& path, std::initializer_list<Bytes> pieces) {
    // Exclusive: an existing file that someone else holds is left as it was.
    native::FileHandle file = native::open(path, 4, 4);
    if (!file.valid()) return false;
    bool ok = true;
    for (const Bytes& piece : pieces) {
        if (!piece.empty() && !native::write(file, piece.data(), static_cast<long long>(piece.size()))) {
            ok = false;
            break;
        }
    }
    native::close(file);
    return ok;
}

bool writeFile(const Text& path, const Bytes& data) {
    return writeFile(path, {data});
}

Text temporaryCopyName(const Text& path, int attempt) {
    return path + "~" + std::to_string(attempt) + ".tmp";
}

bool replaceFile(const Text& path, const Bytes& data) {
    if (path.empty()) return false;
    if (native::exists(path)) {
        // The old file must be one this program could overwrite in place.
        native::FileHandle old = native::open(path, 2, 4);
        if (!old.valid()) return false;
        native::close(old);
    }
    // A fresh name each time: a stale file left by a crash, or anything else
    // of that name, is never written through.
    Text temporary;
    native::FileHandle file;
    for (int attempt = 1; attempt <= kTemporaryCopyAttempts && !file.valid(); ++attempt) {
        temporary = temporaryCopyName(path, attempt);
        file = native::open(temporary, native::kModeCreateNew, 4);
    }
    if (!file.valid()) return false;
    bool ok = native::write(file, data.data(), static_cast<long long>(data.size()));
    ok = native::flush(file) && ok;
    ok = native::close(file) && ok;
    if (ok && native::replace(temporary, path)) return true;
    native::remove(temporary);
    return false;
}

int openFile(const Text& path, int mode, int share) {
    if (path.empty() || mode < 1 || mode > 6 || share < 1 || share > 4) return 0;
    native::FileHandle file = native::open(path, mode, share);
    if (!file.valid()) return 0;
    for (std::size_t slot = 0; slot < openFiles.size(); ++slot) {
        if (!openFiles[slot].valid()) {
            openFiles[slot] = file;
            return static_cast<int>(slot) + 1;
        }
    }
    openFiles.push_back(file);
    return static_cast<int>(openFiles.size());
}

Text readText(int fileNumber, int length) {
    native::FileHandle* file = fileOf(fileNumber);
    if (file == nullptr || (length < 1 && length != -1)) return Text();
    long long start = native::tell(*file);
    if (start < 0) return Text();

    Bytes data;
    const std::size_t chunk = 1 << 16;
    std::size_t wanted = length == -1 ? Bytes::npos : static_cast<std::size_t>(length);
    while (data.size() < wanted) {
        std::size_t piece = wanted - data.size() < chunk ? wanted - data.size() : chunk;
        std::size_t before = data.size();
        data.resize(before + piece);
        long long got = native::read(*file, data.data() + before, static_cast<long long>(piece));
        if (got < 0) {
            native::seek(*file, start);
            return Text();
        }
        data.resize(before + static_cast<std::size_t>(got));
        if (got == 0) break;
    }

    std::size_t size = textLength(data);
    if (size < data.size()) {
        // Leave the position at the stop byte: it is not part of the text.
        native::seek(*file, start + static_cast<long long>(size));
        data.resize(size);
    }
    return data;
}

bool writeBytes(int fileNumber, const Bytes& data) {
    native::FileHandle* file = fileOf(fileNumber);
    if (file == nullptr) return false;
    return native::write(*file, data.data(), static_cast<long long>(data.size()));
}

void closeFile(int fileNumber) {
    native::FileHandle* file = fileOf(fileNumber);
    if (file == nullptr) return;
    native::close(*file);
    *file = native::FileHandle{};
}

bool moveFile(const Text& oldPath, const Text& newPath) {
    if (oldPath.empty() || newPath.empty()) return false;
    return native::moveNoReplace(oldPath, newPath);
}

Text folderIdentity(const Text& folder) {
    return native::folderIdentity(folder);
}

bool removeFile(const Text& path) {
    return native::remove(path);
}

struct FindState {
    std::vector<native::DirEntry> entries;
    std::size_t next = 0;
};

FindStateHolder::FindStateHolder() : state(std::make_unique<FindState>()) {}
FindStateHolder::~FindStateHolder() = default;

Text findFiles(const Text& pattern, FindKind kind, FindStateHolder& holder) {
    FindState& state = *holder.state;
    if (!pattern.empty()) {
        state.entries = native::list(pattern);
        state.next = 0;
    }
    while (state.next < state.entries.size()) {
        const native::DirEntry& entry = state.entries[state.next++];
        if (entry.isSpecial) continue;
        if (entry.isFolder == (kind == FindKind::FoldersOnly)) return entry.name;
    }
    // Done: the enumeration ends, and further continuations find nothing.
    state.entries.clear();
    state.next = 0;
    return Text();
}
