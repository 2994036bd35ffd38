// Creates one child control from its row in a layout table: class, styles,
// designed geometry scaled to the window's DPI, caption and starting state.
// Fonts come afterwards, from the DPI layout (dpi_layout.h).
#pragma once

#include <windows.h>

#include "ui/layout.h"

namespace win32 {

HWND createControl(HWND parent, WindowId window, int index, const ControlSpec& spec, int dpi);

}  // namespace win32
