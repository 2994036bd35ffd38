// The learner's own program folder of an installed program, prepared at
// every start: the bundled banks are copied in, the sound effects are
// reached through a link to the installed ones, and the cache and report
// folders are made.
#pragma once

#include <filesystem>

namespace qtport {

// installed: the folder of the installed executable, holding 单词表 and 音效.
// user: the learner's program folder, made when missing.
//
// A bundled bank is copied in once: a bank the learner changed or removed
// stays as the learner left it, and a bank that a newer version brings is
// copied in at its first start. A bank a newer version bundles under another
// path is not copied beside the earlier copy: an unchanged copy is moved to
// the new path, a changed or removed one stays as it is. The names copied so
// far are kept in a list in the user folder. A copy appears complete or not
// at all. Failures are silent: the program starts with whatever could be
// prepared.
void prepareUserFolder(const std::filesystem::path& installed, const std::filesystem::path& user);

}  // namespace qtport
