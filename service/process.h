// What the service needs to know about its own process from the system.
#pragma once

#include <filesystem>
#include <string>

namespace service {

// The folder holding the running executable, UTF-8, without a trailing
// separator; "." when the system cannot tell.
std::string executableFolder();

// A UTF-8 file name as the system's path type, so names outside the ANSI
// code page open on Windows too.
inline std::filesystem::path pathFromUtf8(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace service
