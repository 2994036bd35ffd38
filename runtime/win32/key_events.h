// Key presses of an edit box reported as KeyDown events. When the handler
// consumes a key, the box never sees it, nor the character it would type:
// Enter in the answer box submits and never inserts a line break.
#pragma once

#include <windows.h>

#include "ui/layout.h"

namespace win32 {

void reportKeyPresses(HWND edit, ControlRef control);

// Modifier state as the program codes it: 1 Ctrl, 2 Shift, 4 Alt.
int modifierState();

}  // namespace win32
