// Entry of the Windows program: the Win32 port under the portable program.
#include <windows.h>
// Needs windows.h first.
#include <objbase.h>
#include <ole2.h>

#include "app/program_entry.h"
#include "runtime/win32/sound.h"
#include "runtime/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    win32::wakeSoundDevices();
    // The web-browser control of the HTML view needs a single-threaded
    // apartment with OLE on the GUI thread.
    OleInitialize(nullptr);
    static Win32Platform platform;
    installPlatform(&platform);
    const int exitCode = programMain();
    OleUninitialize();
    return exitCode;
}
