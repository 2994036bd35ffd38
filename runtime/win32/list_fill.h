// Filling a list view before its window is shown. A list view recomputes its
// scroll bars and invalidates itself after every row put in, hidden or not;
// under Wine that costs a few milliseconds a row, seconds for the bundled
// banks, against a few milliseconds in all with redrawing held. So changes
// made while the list is not on screen go in with redrawing off, and it comes
// back on when the program shows a row or, at the latest, when the message
// loop next runs.
#pragma once

#include <windows.h>

namespace win32 {

void holdRedrawWhileHidden(HWND list);
void resumeRedraw(HWND list);  // nothing when redrawing was not held

}  // namespace win32
