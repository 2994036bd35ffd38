// The file-system layer on Linux.
//
// Paths: a program path is a GBK text with backslashes. It is decoded to
// Unicode first and only then are backslashes turned into slashes, because a
// GBK trail byte can be 0x5C; the result is encoded as UTF-8, the file names
// of a Linux desktop. Names read from a folder travel the other way; a name
// that GBK cannot spell comes back with '?' in it and cannot be opened again.
//
// Sharing: Linux has no mandatory share modes. They are emulated with
// advisory flock locks, which every open of this program takes: sharing 1
// (nothing denied) takes a shared lock, sharings 2, 3 and 4 (deny read, deny
// write, exclusive) take an exclusive lock, and an open whose lock is refused
// fails, as it would on Windows. So two opens of this program that Windows
// would keep apart are kept apart (a deny-write open refuses a second
// deny-write reader, which Windows would allow), while other programs, which
// take no locks, are not held off. On a file system without flock the file
// is opened without any sharing control.
#include "runtime/native_fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "runtime/codepage.h"
#include "runtime/posix/program_folder.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace native {

namespace {

std::u16string withSlashes(std::u16string path) {
    for (char16_t& unit : path)
        if (unit == u'\\') unit = u'/';
    return path;
}

std::string nativePath(const Text& path) {
    return utf16ToUtf8(withSlashes(gbkToUtf16(path)));
}

int openFlags(int mode) {
    switch (mode) {
        case 1:
            return O_RDONLY;
        case 2:
            return O_WRONLY;
        case 3:
            return O_RDWR;
        case 4:  // truncated only once the lock is held, see open()
        case 5:
            return O_WRONLY | O_CREAT;
        case 6:
            return O_RDWR | O_CREAT;
        case kModeCreateNew:  // O_EXCL: a link of that name is not followed
            return O_WRONLY | O_CREAT | O_EXCL;
        default:
            return -1;
    }
}

bool lockForSharing(int fd, int share) {
    int operation = (share == 1 ? LOCK_SH : LOCK_EX) | LOCK_NB;
    int result;
    do {
        result = flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    if (result == 0) return true;
    return errno != EWOULDBLOCK;  // no flock on this file system: go on unlocked
}

void closeDescriptor(int fd) {
    ::close(fd);
}

// A move to another file system: copy into a new file, then remove the old
// one. Files only, like MoveFile.
bool copyThenRemove(const std::string& from, const std::string& to) {
    int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) return false;
    struct stat status;
    if (fstat(source, &status) != 0 || !S_ISREG(status.st_mode)) {
        closeDescriptor(source);
        return false;
    }
    int target = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, status.st_mode & 07777);
    if (target < 0) {
        closeDescriptor(source);
        return false;
    }
    FileHandle in{source}, out{target};
    char buffer[65536];
    bool ok = true;
    for (;;) {
        long long got = read(in, buffer, sizeof buffer);
        if (got < 0) ok = false;
        if (got <= 0) break;
        if (!write(out, buffer, got)) {
            ok = false;
            break;
        }
    }
    closeDescriptor(source);
    if (::close(target) != 0) ok = false;
    if (!ok || ::unlink(from.c_str()) != 0) {
        ::unlink(to.c_str());
        return false;
    }
    return true;
}

std::u32string toCodePoints(const std::u16string& text) {
    std::u32string points;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        points += unit;
    }
    return points;
}

char32_t foldAscii(char32_t c) {
    return (c >= U'A' && c <= U'Z') ? c + 32 : c;
}

// Windows wildcards: '*' any run, '?' one character, everything else
// literal (no brackets, no escapes), ASCII letters in either case.
bool wildcardMatch(const std::u32string& pattern, const std::u32string& name) {
    std::size_t p = 0, n = 0, star = std::u32string::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || foldAscii(pattern[p]) == foldAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            star = p++;
            resume = n;
        } else if (star != std::u32string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') ++p;
    return p == pattern.size();
}

// Links are followed: a link to a folder is a folder. A link that leads
// nowhere stays a file, which simply cannot be opened.
void classify(const std::string& folder, const dirent& entry, DirEntry& result) {
    unsigned char type = entry.d_type;
    if (type == DT_UNKNOWN || type == DT_LNK) {
        struct stat status;
        if (::stat((folder + "/" + entry.d_name).c_str(), &status) != 0) return;
        type = S_ISDIR(status.st_mode) ? DT_DIR : S_ISREG(status.st_mode) ? DT_REG : DT_FIFO;
    }
    result.isFolder = type == DT_DIR;
    result.isSpecial = type != DT_DIR && type != DT_REG;
}

bool fitsGbk(const std::u16string& text) {
    return gbkToUtf16(utf16ToGbk(text)) == text;
}

}  // namespace

std::string utf8Path(const Text& path) {
    return nativePath(path);
}

FileHandle open(const Text& path, int mode, int share) {
    int flags = openFlags(mode);
    if (path.empty() || flags < 0 || share < 1 || share > 4) return FileHandle{};
    std::string name = nativePath(path);
    // Non-blocking, so that a pipe without a writer cannot hold the program;
    // anything but a plain file is closed again at once.
    int fd;
    do {
        fd = ::open(name.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return FileHandle{};
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 || !lockForSharing(fd, share) ||
        (mode == 4 && ftruncate(fd, 0) != 0)) {
        closeDescriptor(fd);
        return FileHandle{};
    }
    return FileHandle{fd};
}

long long read(FileHandle file, char* buffer, long long size) {
    if (!file.valid() || size < 0) return -1;
    ssize_t got;
    do {
        got = ::read(static_cast<int>(file.value), buffer, static_cast<std::size_t>(size));
    } while (got < 0 && errno == EINTR);
    return got;
}

bool write(FileHandle file, const char* data, long long size) {
    if (!file.valid() || size < 0) return false;
    while (size > 0) {
        ssize_t written = ::write(static_cast<int>(file.value), data, static_cast<std::size_t>(size));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

long long tell(FileHandle file) {
    if (!file.valid()) return -1;
    return lseek(static_cast<int>(file.value), 0, SEEK_CUR);
}

bool seek(FileHandle file, long long position) {
    if (!file.valid() || position < 0) return false;
    return lseek(static_cast<int>(file.value), position, SEEK_SET) == position;
}

bool flush(FileHandle file) {
    if (!file.valid()) return false;
    int result;
    do {
        result = ::fsync(static_cast<int>(file.value));
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

bool close(FileHandle file) {
    if (!file.valid()) return false;
    // Linux releases the descriptor even when close is interrupted.
    return ::close(static_cast<int>(file.value)) == 0 || errno == EINTR;
}

bool moveNoReplace(const Text& oldPath, const Text& newPath) {
    if (oldPath.empty() || newPath.empty()) return false;
    std::string from = nativePath(oldPath), to = nativePath(newPath);
    if (syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EXDEV) return copyThenRemove(from, to);
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
    // The file system refuses the no-replace rename: a hard link fails when
    // the target exists, so link and unlink never overwrite either.
    struct stat status;
    if (::lstat(from.c_str(), &status) != 0) return false;
    if (S_ISDIR(status.st_mode)) {
        // Folders cannot be linked; check and rename (a narrow race is left).
        if (::lstat(to.c_str(), &status) == 0 || errno != ENOENT) return false;
        return ::rename(from.c_str(), to.c_str()) == 0;
    }
    if (::link(from.c_str(), to.c_str()) != 0) return errno == EXDEV && copyThenRemove(from, to);
    if (::unlink(from.c_str()) != 0) {
        ::unlink(to.c_str());
        return false;
    }
    return true;
}

bool replace(const Text& oldPath, const Text& newPath) {
    if (oldPath.empty() || newPath.empty()) return false;
    return ::rename(nativePath(oldPath).c_str(), nativePath(newPath).c_str()) == 0;
}

bool remove(const Text& path) {
    return !path.empty() && ::unlink(nativePath(path).c_str()) == 0;
}

bool makeFolder(const Text& path) {
    if (path.empty()) return false;
    std::string name = nativePath(path);
    if (::mkdir(name.c_str(), 0777) == 0) return true;
    struct stat status;
    return errno == EEXIST && ::stat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::vector<DirEntry> list(const Text& pattern) {
    std::vector<DirEntry> entries;
    std::u16string wide = withSlashes(gbkToUtf16(pattern));
    std::size_t slash = wide.rfind(u'/');
    std::u16string folder = slash == std::u16string::npos ? u"." : wide.substr(0, slash);
    if (slash == 0) folder = u"/";
    std::u16string namePattern = slash == std::u16string::npos ? wide : wide.substr(slash + 1);
    if (namePattern.empty()) return entries;
    if (namePattern == u"*.*") namePattern = u"*";  // Windows: every name, with or without a dot
    std::u32string wanted = toCodePoints(namePattern);

    std::string folderName = utf16ToUtf8(folder);
    DIR* dir = ::opendir(folderName.c_str());
    if (dir == nullptr) return entries;
    while (const dirent* entry = ::readdir(dir)) {
        std::u16string name = utf8ToUtf16(entry->d_name);
        if (!wildcardMatch(wanted, toCodePoints(name))) continue;
        DirEntry found{utf16ToGbk(name)};
        classify(folderName, *entry, found);
        entries.push_back(found);
    }
    ::closedir(dir);
    return entries;
}

// The program folder: the executable's own, or the learner's own folder for
// an installed program (runtime/posix/program_folder.h).
ExecutableFolder executableFolder() {
    const std::string path = posix::programFolderPath();
    std::u16string wide = utf8ToUtf16(path);
    ExecutableFolder folder;
    folder.shown = utf16ToGbk(wide);
    folder.fitsGbk = fitsGbk(wide);
    for (char16_t& unit : wide)  // program paths use backslashes
        if (unit == u'/') unit = u'\\';
    folder.path = utf16ToGbk(wide);
    return folder;
}

bool exists(const Text& path) {
    if (path.empty()) return false;
    struct stat status;
    return ::stat(nativePath(path).c_str(), &status) == 0;
}

Text folderIdentity(const Text& path) {
    struct stat status;
    if (path.empty() || ::stat(nativePath(path).c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return Text();
    return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
}

std::int64_t steadyMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace native
