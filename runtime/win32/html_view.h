// The HTML view: the system web-browser control hosted in atl.dll's
// "AtlAxWin" window, made inside the view when a page is first asked for.
// Every failure (no atl.dll, no browser, no document yet)
// is ignored; the view then keeps what it shows, or stays an empty panel.
#pragma once

#include <windows.h>

#include "runtime/text.h"

namespace win32 {

HWND createHtmlView(HWND parent, DWORD style, DWORD exStyle, int left, int top, int width, int height,
                    int id);
void navigateHtml(HWND view, const Text& address);
// Writes the body; at a dpi other than 96 the page is zoomed to match.
bool setHtmlBody(HWND view, const Text& html, int dpi);
// Zooms the page to dpi / 96, so the meanings grow with the window.
void zoomHtmlForDpi(HWND view, int dpi);

}  // namespace win32
