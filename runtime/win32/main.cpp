// Entry of the Windows program: the Win32 port under the portable program.
#include <windows.h>

#include "app/program_entry.h"
#include "runtime/win32/ole_apartment.h"
#include "runtime/win32/sound.h"
#include "runtime/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    win32::wakeSoundDevices();
    static Win32Platform platform;
    installPlatform(&platform);
    const int exitCode = programMain();
    win32::endOle();
    return exitCode;
}
