// Puts a window's controls at their places and gives them their fonts for
// the window's DPI: once when they are created, again when the window moves
// to a screen of another density.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "ui/layout.h"

namespace win32 {

// controls[i] was built from specs[i]. fromDpi is the DPI the controls were
// laid out for, 0 for controls just created at dpi. The fonts made for the
// new DPI replace those in fonts, which are deleted.
void layOutControls(std::span<const ControlSpec> specs, const std::vector<HWND>& controls, int fromDpi,
                    int dpi, std::vector<HFONT>& fonts);

}  // namespace win32
