// The program's two top-level windows on Win32: creation from the layout
// tables, the window procedure that turns messages into program events, the
// modal loop of the word-bank window, and the handle look-ups the other
// backend files use.
#pragma once

#include <windows.h>

#include "runtime/platform.h"
#include "runtime/text.h"
#include "ui/layout.h"

namespace win32 {

// Private messages of the backend.
constexpr UINT kMsgCloseQuietly = WM_APP + 1;  // closeWindow: destroy, no CloseRequested
constexpr UINT kMsgNotify = WM_APP + 2;        // posted label notification (notifications.cpp)
constexpr UINT kMsgMakeControls = WM_APP + 3;  // makeControls, posted once the program is idle

// Control ids are the table position plus this; ids 1 and 2 (IDOK, IDCANCEL)
// stay free for the dialog-manager commands, which the program ignores.
constexpr int kFirstControlId = 1000;

HWND windowHandle(WindowId window);                    // nullptr while the window is not open
HWND controlHandle(ControlRef control);                // nullptr while its window is not open
const ControlSpec* controlSpecOf(ControlRef control);  // nullptr for a bad index
bool isProgramWindow(HWND hwnd, WindowId& window);

bool loadWindow(WindowId window, bool modal);
void closeWindow(WindowId window);
Text windowCaption(WindowId window);
void setWindowCaption(WindowId window, const Text& caption);
// The size is the outer size at 96 DPI; the window gets the client area
// that size leaves, scaled to its DPI, in the frame of that DPI, and moves
// back inside its monitor's work area where it would cross an edge.
void setWindowSize(WindowId window, int outerWidth, int outerHeight);
int windowDpiOf(WindowId window);  // the DPI the window is laid out for
// The work area of the window's monitor in the layout's units (see
// Platform::workArea), and a control moved to a place in those units.
Rect workArea(WindowId window);
void setControlRect(ControlRef control, const Rect& rect);

}  // namespace win32
