#include "runtime/posix/program_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace posix {

const char* const kPerUserFolderMarker = "per-user-folder";

namespace {

const char kFolderName[] = "vorbelzoz";

bool isAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// HOME first, as every desktop program does; the password database when
// HOME is unset or not absolute.
const char* homeFolder(const char* home) {
    if (isAbsolute(home)) return home;
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && isAbsolute(entry->pw_dir) ? entry->pw_dir : nullptr;
}

}  // namespace

std::string executableFolderPath() {
    std::string path(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) return std::string();
        if (static_cast<std::size_t>(length) < path.size()) {
            path.resize(static_cast<std::size_t>(length));
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool usesPerUserFolder(const std::string& executableFolder) {
    if (executableFolder.empty()) return false;
    struct stat status;
    const std::string marker = executableFolder + "/" + kPerUserFolderMarker;
    return ::stat(marker.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string perUserFolder(const char* xdgDataHome, const char* home) {
    if (isAbsolute(xdgDataHome)) return withoutTrailingSlashes(xdgDataHome) + "/" + kFolderName;
    const char* folder = homeFolder(home);
    if (folder == nullptr) return std::string();
    return withoutTrailingSlashes(folder) + "/.local/share/" + kFolderName;
}

std::string programFolderPath() {
    const std::string executable = executableFolderPath();
    if (!usesPerUserFolder(executable)) return executable;
    const std::string own = perUserFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    return own.empty() ? executable : own;
}

}  // namespace posix
