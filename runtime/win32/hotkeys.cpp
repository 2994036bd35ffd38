#include "runtime/win32/hotkeys.h"

#include <windows.h>

#include "runtime/win32/native_windows.h"
#include "ui/event_wiring.h"

namespace win32 {

namespace {

constexpr int kFirstHotkeyId = 33001;
int nextId = kFirstHotkeyId;
ControlRef receiver{WindowId::Main, -1};

// The program's modifier codes (1 Ctrl, 2 Shift, 4 Alt) to the system's.
UINT systemModifiers(int modifiers) {
    UINT flags = 0;
    if (modifiers & 1) flags |= MOD_CONTROL;
    if (modifiers & 2) flags |= MOD_SHIFT;
    if (modifiers & 4) flags |= MOD_ALT;
    return flags;
}

}  // namespace

int registerHotkey(WindowId owner, ControlRef label, int modifiers, int virtualKey) {
    HWND window = windowHandle(owner);
    if (window == nullptr || modifiers < 0 || modifiers > 7) return 0;
    const int id = nextId;
    if (!RegisterHotKey(window, id, systemModifiers(modifiers), static_cast<UINT>(virtualKey))) return 0;
    ++nextId;
    receiver = label;
    return id;
}

void onHotkeyPressed(int id) {
    if (receiver.index < 0) return;
    dispatchEvent(receiver.window, receiver.index, EventKind::Notify, EventArgs{id, 0});
}

}  // namespace win32
