// Bundled banks that a newer version keeps under another path (the samples
// moved from 单词表 into 单词表/01示例): the learner's folder gets each of them
// once, never a second copy beside the one an earlier version copied in.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace qtport {

struct MovedBanks {
    std::set<std::string> settled;   // fresh banks that need no copy now or later
    std::set<std::string> deferred;  // fresh banks to try again at the next start
    std::set<std::string> retired;   // earlier names that no longer stand for a bundled bank
};

// bundled, user: the installed and the learner's 单词表. fresh: relative names
// of bundled banks not copied before; earlier: relative names copied before
// that the bundle no longer has.
//
// An earlier copy of the same file name, or of any name when its bytes are
// the bundled bank's, takes the fresh bank's place: unchanged, it is moved
// there; changed or removed by the learner, it stays as the learner left it
// and the fresh bank is not copied. Nothing is overwritten or deleted
// without an identical copy at the new place.
MovedBanks settleMovedBanks(const std::filesystem::path& bundled, const std::filesystem::path& user,
                            const std::vector<std::string>& fresh, const std::vector<std::string>& earlier);

}  // namespace qtport
