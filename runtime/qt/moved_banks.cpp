#include "runtime/qt/moved_banks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace qtport {

namespace {

// Banks are small; a larger file is never taken for a bundled one.
constexpr std::uintmax_t kMaxCompared = 16u << 20;

bool isPresent(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

bool isPlainFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(fs::symlink_status(path, error));
}

std::uintmax_t sizeOf(const fs::path& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    return error ? UINTMAX_MAX : size;
}

bool sameBytes(const fs::path& a, const fs::path& b) {
    if (!isPlainFile(a) || !isPlainFile(b)) return false;
    const std::uintmax_t size = sizeOf(a);
    if (size > kMaxCompared || size != sizeOf(b)) return false;
    std::ifstream inA(a, std::ios::binary), inB(b, std::ios::binary);
    std::array<char, 16384> bufferA, bufferB;
    while (inA && inB) {
        inA.read(bufferA.data(), bufferA.size());
        inB.read(bufferB.data(), bufferB.size());
        if (inA.gcount() != inB.gcount() ||
            !std::equal(bufferA.begin(), bufferA.begin() + inA.gcount(), bufferB.begin()))
            return false;
    }
    return inA.eof() && inB.eof();
}

// A name read back from the list in the learner's folder must stay inside it.
bool staysInside(const std::string& name) {
    const fs::path path(name);
    if (path.empty() || path.has_root_path()) return false;
    for (const fs::path& part : path)
        if (part == ".." || part == ".") return false;
    return true;
}

// Links the copy in under its new name (which fails rather than replace a
// file), then drops the old name and the folders it leaves empty.
bool moveBank(const fs::path& user, const std::string& from, const std::string& to) {
    std::error_code error;
    fs::create_directories((user / to).parent_path(), error);
    fs::create_hard_link(user / from, user / to, error);
    if (error) return false;
    fs::remove(user / from, error);
    for (fs::path folder = fs::path(from).parent_path(); !folder.empty(); folder = folder.parent_path())
        if (!fs::remove(user / folder, error)) break;
    return true;
}

}  // namespace

MovedBanks settleMovedBanks(const fs::path& bundled, const fs::path& user,
                            const std::vector<std::string>& fresh, const std::vector<std::string>& earlier) {
    MovedBanks result;
    std::multimap<std::string, std::string> byFileName;
    for (const std::string& name : earlier)
        if (staysInside(name)) byFileName.emplace(fs::path(name).filename().string(), name);
    if (byFileName.empty()) return result;

    std::vector<std::string> unmatched;
    for (const std::string& name : fresh) {
        if (isPresent(user / name)) continue;
        std::string old;
        const auto [first, last] = byFileName.equal_range(fs::path(name).filename().string());
        for (auto it = first; it != last && old.empty(); ++it)
            if (result.retired.count(it->second) == 0) old = it->second;
        if (old.empty()) {
            unmatched.push_back(name);
            continue;
        }
        if (sameBytes(user / old, bundled / name) && !moveBank(user, old, name)) {
            result.deferred.insert(name);
            continue;
        }
        // Moved, or changed or removed by the learner: either way it is
        // the learner's bank now, in the one place it has.
        result.retired.insert(old);
        result.settled.insert(name);
    }

    // A bank under a new file name: only an unchanged copy is recognised.
    std::multimap<std::uintmax_t, std::string> bySize;
    for (const auto& [fileName, name] : byFileName)
        if (result.retired.count(name) == 0 && isPlainFile(user / name))
            bySize.emplace(sizeOf(user / name), name);
    for (const std::string& name : unmatched) {
        const auto [first, last] = bySize.equal_range(sizeOf(bundled / name));
        for (auto it = first; it != last; ++it) {
            if (result.retired.count(it->second) != 0 || !sameBytes(user / it->second, bundled / name))
                continue;
            if (moveBank(user, it->second, name)) {
                result.retired.insert(it->second);
                result.settled.insert(name);
            } else {
                result.deferred.insert(name);
            }
            break;
        }
    }
    return result;
}

}  // namespace qtport
