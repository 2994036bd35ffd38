#include "runtime/qt/user_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "runtime/qt/moved_banks.h"

namespace fs = std::filesystem;

namespace qtport {

namespace {

const char kBanks[] = "单词表";
const char kSounds[] = "音效";
// Relative names of the bundled banks copied so far, one a line.
const char kCopiedList[] = ".bundled-banks";

// Hidden and not ending in ".txt", so the bank list never shows it.
fs::path temporaryBeside(const fs::path& target) {
    return target.parent_path() / ("." + target.filename().string() + ".copying");
}

bool syncFile(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Copies into a temporary file beside the target, then links it under the
// target's name, which fails rather than replace a file the learner made
// meanwhile.
bool copyIfMissing(const fs::path& from, const fs::path& to) {
    std::error_code error;
    const fs::path temporary = temporaryBeside(to);
    if (!fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, error) ||
        !syncFile(temporary)) {
        fs::remove(temporary, error);
        return false;
    }
    fs::create_hard_link(temporary, to, error);
    const bool linked = !error;
    fs::remove(temporary, error);
    return linked;
}

std::set<std::string> readCopiedList(const fs::path& file) {
    std::set<std::string> names;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) names.insert(line);
    return names;
}

void writeCopiedList(const fs::path& file, const std::set<std::string>& names) {
    const fs::path temporary = temporaryBeside(file);
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const std::string& name : names) out << name << '\n';
        if (!out.flush()) return;
    }
    std::error_code error;
    if (syncFile(temporary)) fs::rename(temporary, file, error);
    if (error) fs::remove(temporary, error);
}

void copyBundledBanks(const fs::path& installed, const fs::path& user) {
    const fs::path from = installed / kBanks, to = user / kBanks;
    const fs::path listFile = user / kCopiedList;
    std::set<std::string> copied = readCopiedList(listFile);
    std::set<std::string> bundled;
    std::vector<std::string> fresh;
    std::error_code error;
    for (fs::recursive_directory_iterator it(from, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        const std::string name = it->path().lexically_relative(from).generic_string();
        bundled.insert(name);
        if (copied.count(name) == 0) fresh.push_back(name);
    }
    if (error || fresh.empty()) return;  // a half-read bundle tells nothing about moved banks

    std::vector<std::string> earlier;
    for (const std::string& name : copied)
        if (bundled.count(name) == 0) earlier.push_back(name);
    const MovedBanks moved = settleMovedBanks(from, to, fresh, earlier);
    bool changed = !moved.retired.empty();
    for (const std::string& name : moved.retired) copied.erase(name);
    for (const std::string& name : fresh) {
        if (moved.deferred.count(name) != 0) continue;
        const fs::path target = to / name;
        std::error_code missing;
        if (moved.settled.count(name) == 0 && !fs::exists(fs::symlink_status(target, missing))) {
            fs::create_directories(target.parent_path(), missing);
            if (!copyIfMissing(from / name, target)) continue;  // tried again at the next start
        }
        copied.insert(name);
        changed = true;
    }
    if (changed) writeCopiedList(listFile, copied);
}

// The effects are only read: a link to the installed folder, so a new
// version's sounds are heard at once. A folder the learner put there stays.
void linkSoundEffects(const fs::path& installed, const fs::path& user) {
    const fs::path target = installed / kSounds, link = user / kSounds;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(link, error);
    if (fs::exists(status) && !fs::is_symlink(status)) return;
    if (fs::is_symlink(status) && fs::read_symlink(link, error) == target) return;
    const fs::path temporary = temporaryBeside(link);
    fs::remove(temporary, error);
    fs::create_directory_symlink(target, temporary, error);
    if (!error) fs::rename(temporary, link, error);
    if (error) fs::remove(temporary, error);
}

}  // namespace

void prepareUserFolder(const fs::path& installed, const fs::path& user) {
    std::error_code error;
    for (const char* folder : {kBanks, "mp3", "日志"}) fs::create_directories(user / folder, error);
    copyBundledBanks(installed, user);
    linkSoundEffects(installed, user);
}

}  // namespace qtport
