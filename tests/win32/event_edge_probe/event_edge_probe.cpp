// Opens the word-bank window on the real Win32 port and clicks its mute box
// while the handler behind it throws, as an allocation failing there would;
// then clicks it twice more. Prints one JSON line; exit code 0 when the
// exception ended at the window procedure and later clicks were handled.
//
//   vorbelzoz_event_edge_probe.exe
#include <windows.h>
// Needs windows.h first.
#include <objbase.h>
#include <ole2.h>

#include <cstdio>
#include <new>
#include <utility>

#include "app/quiz_state.h"
#include "runtime/win32/native_windows.h"
#include "runtime/win32/win32_platform.h"
#include "ui/bank_window_layout.h"

namespace {

// The real port, except that isChecked throws once when armed.
struct PlatformThrowingOnce : Win32Platform {
    bool armed = false;
    int checkedCalls = 0;
    bool isChecked(ControlRef control) override {
        ++checkedCalls;
        if (std::exchange(armed, false)) throw std::bad_alloc();
        return Win32Platform::isChecked(control);
    }
};

}  // namespace

int wmain() {
    OleInitialize(nullptr);
    static PlatformThrowingOnce platform;
    installPlatform(&platform);
    initQuizState();
    if (!platform.loadWindow(WindowId::Bank, false)) {
        std::printf("{\"opened\": false}\n");
        return 1;
    }
    HWND mute = win32::controlHandle(bankWindow::ctl(bankWindow::选择框1));
    platform.armed = true;
    SendMessageW(mute, BM_CLICK, 0, 0);  // unwinds out of here without the catch
    const bool thrown = !platform.armed;
    SendMessageW(mute, BM_CLICK, 0, 0);
    SendMessageW(mute, BM_CLICK, 0, 0);
    const bool checked = SendMessageW(mute, BM_GETCHECK, 0, 0) == BST_CHECKED;
    std::printf("{\"opened\": true, \"thrown\": %s, \"handled_calls\": %d, \"checked\": %s}\n",
                thrown ? "true" : "false", platform.checkedCalls, checked ? "true" : "false");
    std::fflush(stdout);
    return thrown && platform.checkedCalls == 3 && checked ? 0 : 1;
}
