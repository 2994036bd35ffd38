#include "runtime/win32/message_loop.h"

#include "runtime/win32/native_windows.h"
#include "runtime/win32/page_window.h"

namespace win32 {

void pumpMessage(MSG& message) {
    if (takePageShortcut(message)) return;
    HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    WindowId window;
    if (root != nullptr && isProgramWindow(root, window) && IsDialogMessageW(root, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void processEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (message.message == WM_QUIT) return;
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return;
        if (message.message == WM_QUIT) {
            // Another message outranked the peeked one; put the quit back.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        pumpMessage(message);
    }
}

void waitForEvents(int maxMilliseconds) {
    if (maxMilliseconds < 0) maxMilliseconds = 0;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(maxMilliseconds), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
}

int runMessageLoop() {
    MSG message;
    for (;;) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 1;
        pumpMessage(message);
    }
}

void runModalLoop(const bool* open) {
    MSG message;
    while (*open) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got == -1) return;
        pumpMessage(message);
    }
}

}  // namespace win32
