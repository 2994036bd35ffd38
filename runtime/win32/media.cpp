#include "runtime/win32/media.h"

#include <windows.h>
// Needs windows.h first.
#include <mmsystem.h>

#include "runtime/win32/wide_text.h"

namespace win32 {

int sendMediaCommand(const Text& command) {
    // The wide form with the command converted from GBK, so that a path with
    // Chinese characters names the right file under any system locale.
    return static_cast<int>(mciSendStringW(toWide(command).c_str(), nullptr, 0, nullptr));
}

}  // namespace win32
