// The window that shows a page of shapes (the statistics), painted with GDI
// at the window's DPI, and pictures of such a page encoded as PNG with WIC.
#pragma once

#include <windows.h>

#include "runtime/bytes.h"
#include "runtime/shape_page.h"

namespace win32 {

// Opens the window on the bank window's monitor, the page drawn at scale
// times its size at the window's DPI.
void showPageWindow(const ShapePage& page, double scale);
Bytes pagePicture(const ShapePage& page);
// Ctrl with a button's shortcut key in the page window runs the button's
// command; true when the message was taken so.
bool takePageShortcut(const MSG& message);

}  // namespace win32
