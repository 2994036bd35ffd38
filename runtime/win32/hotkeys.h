// System-wide hotkeys owned by a program window. Ids are handed out from
// 33001 in registration order; a press notifies the label of the latest
// registration, synchronously, with (id, 0).
#pragma once

#include "ui/layout.h"

namespace win32 {

int registerHotkey(WindowId owner, ControlRef label, int modifiers, int virtualKey);
void onHotkeyPressed(int id);  // WM_HOTKEY of an owner window

}  // namespace win32
