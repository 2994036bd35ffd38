// The file-system layer on Windows: the wide-character API, with program
// texts converted from code page 936 whatever the system's ANSI code page
// is. Sharing modes are the system's own.
#include "runtime/native_fs.h"

#include <windows.h>

#include <string>

#include "runtime/codepage.h"

namespace native {

namespace {

std::wstring widePath(const Text& path) {
    std::u16string wide = gbkToUtf16(path);
    return std::wstring(wide.begin(), wide.end());
}

Text programText(const wchar_t* wide, std::size_t length) {
    return utf16ToGbk(std::u16string(wide, wide + length));
}

HANDLE handleOf(FileHandle file) {
    return reinterpret_cast<HANDLE>(file.value);
}

bool accessFor(int mode, DWORD& access, DWORD& disposition) {
    switch (mode) {
        case 1:
            access = GENERIC_READ;
            disposition = OPEN_EXISTING;
            return true;
        case 2:
            access = GENERIC_WRITE;
            disposition = OPEN_EXISTING;
            return true;
        case 3:
            access = GENERIC_READ | GENERIC_WRITE;
            disposition = OPEN_EXISTING;
            return true;
        case 4:
            access = GENERIC_WRITE;
            disposition = CREATE_ALWAYS;
            return true;
        case 5:
            access = GENERIC_WRITE;
            disposition = OPEN_ALWAYS;
            return true;
        case 6:
            access = GENERIC_READ | GENERIC_WRITE;
            disposition = OPEN_ALWAYS;
            return true;
        case kModeCreateNew:
            access = GENERIC_WRITE;
            disposition = CREATE_NEW;
            return true;
        default:
            return false;
    }
}

// Sharing states what others may do: 1 nothing denied, 2 deny read, 3 deny
// write, 4 exclusive.
DWORD shareFor(int share) {
    switch (share) {
        case 1:
            return FILE_SHARE_READ | FILE_SHARE_WRITE;
        case 2:
            return FILE_SHARE_WRITE;
        case 3:
            return FILE_SHARE_READ;
        default:
            return 0;
    }
}

bool fitsGbk(const std::wstring& text) {
    std::u16string wide(text.begin(), text.end());
    return gbkToUtf16(utf16ToGbk(wide)) == wide;
}

// A folder whose long name GBK cannot hold may still be reached by its 8.3
// short name, which the system makes of plain characters when it makes one.
std::wstring gbkFolderName(const std::wstring& folder) {
    if (fitsGbk(folder)) return folder;
    DWORD size = GetShortPathNameW(folder.c_str(), nullptr, 0);
    if (size == 0) return folder;
    std::wstring shortName(size, L'\0');
    DWORD length = GetShortPathNameW(folder.c_str(), shortName.data(), size);
    if (length == 0 || length >= size) return folder;
    shortName.resize(length);
    return fitsGbk(shortName) ? shortName : folder;
}

}  // namespace

std::string utf8Path(const Text& path) {
    return utf16ToUtf8(gbkToUtf16(path));
}

FileHandle open(const Text& path, int mode, int share) {
    DWORD access = 0, disposition = 0;
    if (path.empty() || !accessFor(mode, access, disposition) || share < 1 || share > 4) return FileHandle{};
    HANDLE file = CreateFileW(widePath(path).c_str(), access, shareFor(share), nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileHandle{};
    // Device names (CON, NUL, COM1, also with an extension) open devices.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return FileHandle{};
    }
    return FileHandle{reinterpret_cast<std::intptr_t>(file)};
}

long long read(FileHandle file, char* buffer, long long size) {
    if (!file.valid() || size < 0) return -1;
    long long total = 0;
    while (total < size) {
        DWORD piece = static_cast<DWORD>(size - total > 0x40000000 ? 0x40000000 : size - total);
        DWORD got = 0;
        if (!ReadFile(handleOf(file), buffer + total, piece, &got, nullptr)) return total > 0 ? total : -1;
        if (got == 0) break;
        total += got;
    }
    return total;
}

bool write(FileHandle file, const char* data, long long size) {
    if (!file.valid() || size < 0) return false;
    while (size > 0) {
        DWORD piece = static_cast<DWORD>(size > 0x40000000 ? 0x40000000 : size);
        DWORD written = 0;
        if (!WriteFile(handleOf(file), data, piece, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

long long tell(FileHandle file) {
    if (!file.valid()) return -1;
    LARGE_INTEGER zero{}, position{};
    if (!SetFilePointerEx(handleOf(file), zero, &position, FILE_CURRENT)) return -1;
    return position.QuadPart;
}

bool seek(FileHandle file, long long position) {
    if (!file.valid() || position < 0) return false;
    LARGE_INTEGER target{};
    target.QuadPart = position;
    return SetFilePointerEx(handleOf(file), target, nullptr, FILE_BEGIN) != 0;
}

bool flush(FileHandle file) {
    return file.valid() && FlushFileBuffers(handleOf(file)) != 0;
}

bool close(FileHandle file) {
    return file.valid() && CloseHandle(handleOf(file)) != 0;
}

bool moveNoReplace(const Text& oldPath, const Text& newPath) {
    if (oldPath.empty() || newPath.empty()) return false;
    // MoveFileW refuses an existing target.
    return MoveFileW(widePath(oldPath).c_str(), widePath(newPath).c_str()) != 0;
}

bool replace(const Text& oldPath, const Text& newPath) {
    if (oldPath.empty() || newPath.empty()) return false;
    return MoveFileExW(widePath(oldPath).c_str(), widePath(newPath).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool remove(const Text& path) {
    return !path.empty() && DeleteFileW(widePath(path).c_str()) != 0;
}

bool makeFolder(const Text& path) {
    if (path.empty()) return false;
    std::wstring name = widePath(path);
    if (CreateDirectoryW(name.c_str(), nullptr)) return true;
    DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<DirEntry> list(const Text& pattern) {
    std::vector<DirEntry> entries;
    if (pattern.empty()) return entries;
    WIN32_FIND_DATAW found;
    // Without the short 8.3 names, which nothing here uses, and in larger
    // batches: the word-bank folder alone holds hundreds of files.
    HANDLE search = FindFirstFileExW(widePath(pattern).c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
        entries.push_back(DirEntry{programText(found.cFileName, wcslen(found.cFileName)),
                                   (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

ExecutableFolder executableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return ExecutableFolder{};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // truncated: try a larger buffer
    }
    std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return ExecutableFolder{};
    std::wstring folder = gbkFolderName(path.substr(0, slash));
    ExecutableFolder result;
    result.path = programText(folder.data(), folder.size());
    result.fitsGbk = fitsGbk(folder);
    result.shown = result.path;
    return result;
}

bool exists(const Text& path) {
    if (path.empty()) return false;
    return GetFileAttributesW(widePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Text folderIdentity(const Text& path) {
    if (path.empty()) return Text();
    // Backup semantics open folders; reparse points (junctions, links) are
    // followed, so a link gives the identity of the folder it leads to.
    HANDLE folder =
        CreateFileW(widePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return Text();
    BY_HANDLE_FILE_INFORMATION info;
    bool known = GetFileInformationByHandle(folder, &info) != 0 &&
                 (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    CloseHandle(folder);
    if (!known) return Text();
    return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) + ":" +
           std::to_string(info.nFileIndexLow);
}

std::int64_t steadyMilliseconds() {
    return static_cast<std::int64_t>(GetTickCount64());
}

}  // namespace native
