// The HTML view: the system web-browser control hosted in atl.dll's
// "AtlAxWin" window. Every failure (no atl.dll, no browser, no document yet)
// is ignored; the view then keeps what it shows, or stays an empty panel.
#pragma once

#include <windows.h>

#include "runtime/text.h"

namespace win32 {

HWND createHtmlView(HWND parent, DWORD style, DWORD exStyle, int left, int top, int width, int height,
                    int id);
void navigateHtml(HWND view, const Text& address);
bool setHtmlBody(HWND view, const Text& html);

}  // namespace win32
