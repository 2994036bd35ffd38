// The window that shows a page of shapes (the statistics), painted with GDI
// at the window's DPI, and pictures of such a page encoded as PNG with WIC.
#pragma once

#include <windows.h>

#include "runtime/bytes.h"
#include "runtime/shape_page.h"

namespace win32 {

void showPageWindow(const ShapePage& page);
Bytes pagePicture(const ShapePage& page);
// Ctrl with a button's shortcut key in the page window runs the button's
// command; true when the message was taken so.
bool takePageShortcut(const MSG& message);

}  // namespace win32
