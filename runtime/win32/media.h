// Media Control Interface command strings (winmm).
#pragma once

#include "runtime/text.h"

namespace win32 {

// Sends the command; 0 on success, otherwise the MCI error code.
int sendMediaCommand(const Text& command);

}  // namespace win32
