// Which folder is the program folder on Linux. A build or an unpacked copy
// runs from its own folder, as on Windows. An installed copy cannot write
// beside itself: a marker file beside its executable says so, and then each
// learner gets a program folder of their own in the XDG data folder.
// Paths here are UTF-8 with slashes, without a trailing slash.
#pragma once

#include <string>

namespace posix {

// The marker's name, installed beside an executable that lives in a
// system folder.
extern const char* const kPerUserFolderMarker;

// The folder of the running executable; empty when the system cannot say.
std::string executableFolderPath();

bool usesPerUserFolder(const std::string& executableFolder);

// The learner's folder: $XDG_DATA_HOME/vorbelzoz when that variable holds an
// absolute path, else <home>/.local/share/vorbelzoz; empty without a home.
std::string perUserFolder(const char* xdgDataHome, const char* home);

// The program folder of the running program, from the environment.
std::string programFolderPath();

}  // namespace posix
