// The offline dictionary and speech service that ships beside the program
// (vorbelzoz_service), started for the program's own lifetime.
#pragma once

#include <string>

namespace qtport {

// Starts the service from the executable's folder (never from PATH) when
// nothing answers on 127.0.0.1:port, reading its voice from settingsFile.
// The system ends it should the program die; stopBundledService ends it at a
// normal exit. Does nothing when the executable is missing or cannot start.
void startBundledService(int port, const std::string& settingsFile);

// Asks the service to end, then kills it if it has not after a second.
void stopBundledService();

}  // namespace qtport
