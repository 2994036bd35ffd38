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

}  // namespace

FileHandle open(const Text& path, int mode, int share) {
    DWORD access = 0, disposition = 0;
    if (path.empty() || !accessFor(mode, access, disposition) || share < 1 || share > 4) return FileHandle{};
    HANDLE file = CreateFileW(widePath(path).c_str(), access, shareFor(share), nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileHandle{};
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

void close(FileHandle file) {
    if (file.valid()) CloseHandle(handleOf(file));
}

bool moveNoReplace(const Text& oldPath, const Text& newPath) {
    if (oldPath.empty() || newPath.empty()) return false;
    // MoveFileW refuses an existing target.
    return MoveFileW(widePath(oldPath).c_str(), widePath(newPath).c_str()) != 0;
}

bool removeFile(const Text& path) {
    if (path.empty()) return false;
    return DeleteFileW(widePath(path).c_str()) != 0;
}

std::vector<DirEntry> list(const Text& pattern) {
    std::vector<DirEntry> entries;
    if (pattern.empty()) return entries;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(widePath(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
        entries.push_back(DirEntry{programText(found.cFileName, wcslen(found.cFileName)),
                                   (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

Text executableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return Text();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // truncated: try a larger buffer
    }
    std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return Text();
    return programText(path.data(), slash);
}

bool exists(const Text& path) {
    if (path.empty()) return false;
    return GetFileAttributesW(widePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::int64_t steadyMilliseconds() {
    return static_cast<std::int64_t>(GetTickCount64());
}

}  // namespace native
