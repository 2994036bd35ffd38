// The offline dictionary and speech service that ships beside the program
// (vorbelzoz_service.exe), started for the program's own lifetime.
#pragma once

namespace win32 {

// Starts the service from the program folder when nothing answers on
// 127.0.0.1:port. It runs without a console window inside a job object
// that ends it when the program ends, however the program ends. Does
// nothing when the executable is missing or cannot start.
void startBundledService(int port);

}  // namespace win32
