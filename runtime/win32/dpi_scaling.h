// The layouts are drawn for 96 DPI. On a screen of another density every
// position, size and font of a window is that value times DPI / 96, worked
// out here and nowhere else; the core keeps reading and writing 96-DPI values.
#pragma once

#include <windows.h>

#include "ui/layout.h"

namespace win32 {

constexpr int kDesignDpi = 96;

// The DPI a window is drawn at: the monitor's for a per-monitor aware
// program, the system's otherwise (GetDpiForWindow, or the screen's
// LOGPIXELSY where Windows has no such function).
int windowDpi(HWND hwnd);
// The DPI the system's own metrics, stock fonts and RichEdit's point sizes
// are measured in.
int systemDpi();

int toPixels(int designValue, int dpi);  // MulDiv(v, dpi, 96)
int toDesign(int pixels, int dpi);       // the inverse, back to 96-DPI units
RECT controlBounds(const ControlSpec& spec, int dpi);

// The outer size of a window whose outer size at 96 DPI is designWidth x
// designHeight: the client area scales, the frame is the system's at dpi.
SIZE outerSize(int designWidth, int designHeight, DWORD style, DWORD exStyle, int dpi);

// The inverse: the largest outer size at 96 DPI whose outerSize at dpi fits
// in width x height pixels.
SIZE designOuterSize(int width, int height, DWORD style, DWORD exStyle, int dpi);

// The system's default GUI font at dpi: the stock object itself at 96 DPI
// on a 96-DPI system, else a new font the caller deletes (owned = true).
HFONT guiFont(int dpi, bool& owned);
// A font of the given 96-DPI character height at dpi: normal weight, GB2312
// character set and no face name, so the system's Chinese default face applies.
HFONT chineseFont(int designPixelHeight, int dpi);

}  // namespace win32
