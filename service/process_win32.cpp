#include <windows.h>

#include <vector>

#include "service/process.h"

namespace service {

std::string executableFolder() {
    // Long paths: grow the buffer until the whole name fits.
    std::vector<wchar_t> path(MAX_PATH);
    DWORD n = 0;
    while (true) {
        n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return ".";
        if (n < path.size()) break;
        if (path.size() >= 32768) return ".";
        path.resize(path.size() * 2);
    }
    std::wstring full(path.data(), n);
    full = full.substr(0, full.find_last_of(L"\\/"));
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, full.data(), static_cast<int>(full.size()), nullptr, 0,
                                          nullptr, nullptr);
    if (bytes <= 0) return ".";
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, full.data(), static_cast<int>(full.size()), utf8.data(), bytes, nullptr,
                        nullptr);
    return utf8;
}

}  // namespace service
