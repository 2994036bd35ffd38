// Label notifications: synchronous ones run the label's handler at once,
// posted ones travel as a private message to the label's window and run when
// the GUI thread next handles events.
#pragma once

#include <windows.h>

#include "ui/layout.h"

namespace win32 {

int notifyLabel(ControlRef label, int first, int second, bool synchronous);
void onPostedNotification(WindowId window, WPARAM wParam, LPARAM lParam);  // kMsgNotify

}  // namespace win32
