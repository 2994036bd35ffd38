// System-wide hotkeys. On X11 the keys are grabbed on the root window, so
// they act whichever program has the focus and no other program gets them.
// Without X11 (Wayland, offscreen) they act while this program has the focus.
#pragma once

#include "ui/layout.h"

namespace qtport {

// Modifiers: 1 Ctrl, 2 Shift, 4 Alt (sums allowed). Returns the id, from 33001
// in registration order, or 0 when the key cannot be had.
int registerHotkey(ControlRef label, int modifiers, int virtualKey);

}  // namespace qtport
