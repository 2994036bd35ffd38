#include <unistd.h>

#include <climits>

#include "service/process.h"

namespace service {

std::string executableFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    const std::string full(path, static_cast<size_t>(n));
    return full.substr(0, full.rfind('/'));
}

}  // namespace service
