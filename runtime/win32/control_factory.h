// Creates one child control from its row in a layout table: class, styles,
// designed geometry, caption, starting state and font.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/layout.h"

namespace win32 {

// Fonts created for the window's controls are added to fonts; the caller
// deletes them when the window is gone.
HWND createControl(HWND parent, WindowId window, int index, const ControlSpec& spec,
                   std::vector<HFONT>& fonts);

// A font of the given character height in pixels, normal weight, GB2312
// character set and no face name, so the system's Chinese default face applies.
HFONT createChineseFont(int pixelHeight);

}  // namespace win32
