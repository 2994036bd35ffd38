// Command line of the service.
#pragma once

#include <string>

namespace service {

constexpr int kDefaultPort = 47800;

struct Options {
    int port = kDefaultPort;   // 0: any free port
    std::string dataDir;       // empty: the default data folder
    std::string settingsFile;  // empty: vorbelzoz.ini beside the executable
    std::string voice;         // empty: the settings file's voice, else by language
    bool help = false;
};

// False with a message in error on an unknown option or a bad value.
bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error);

std::string usageText(const std::string& program);

}  // namespace service
