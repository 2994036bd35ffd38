#include "runtime/win32/dpi_scaling.h"

namespace win32 {

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

// Both appeared in Windows 10; looked up at run time so that the program
// still starts on Windows 7 and 8, where the system DPI is the only one.
template <typename Function>
Function user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

GetDpiForWindowFunction getDpiForWindow() {
    static const auto function = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    return function;
}

AdjustForDpiFunction adjustForDpi() {
    static const auto function = user32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    return function;
}

// The frame's thickness on each side at dpi, as the difference between an
// empty client rectangle and the window rectangle around it.
RECT frameAt(DWORD style, DWORD exStyle, int dpi) {
    RECT frame{0, 0, 0, 0};
    if (AdjustForDpiFunction adjust = adjustForDpi()) {
        adjust(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi));
        return frame;
    }
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int system = systemDpi();
    if (dpi != system) {
        frame.left = MulDiv(frame.left, dpi, system);
        frame.top = MulDiv(frame.top, dpi, system);
        frame.right = MulDiv(frame.right, dpi, system);
        frame.bottom = MulDiv(frame.bottom, dpi, system);
    }
    return frame;
}

int sane(int dpi) {
    return dpi >= 48 && dpi <= 960 ? dpi : kDesignDpi;
}

}  // namespace

int systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return sane(dpi);
}

int windowDpi(HWND hwnd) {
    if (GetDpiForWindowFunction function = getDpiForWindow(); function != nullptr && hwnd != nullptr) {
        return sane(static_cast<int>(function(hwnd)));
    }
    return systemDpi();
}

int toPixels(int designValue, int dpi) {
    return dpi == kDesignDpi ? designValue : MulDiv(designValue, dpi, kDesignDpi);
}

int toDesign(int pixels, int dpi) {
    return dpi == kDesignDpi ? pixels : MulDiv(pixels, kDesignDpi, dpi);
}

// Edges are scaled, not sizes: controls that touch at 96 DPI still touch,
// and toDesign gives every edge back exactly.
RECT controlBounds(const ControlSpec& spec, int dpi) {
    return RECT{toPixels(spec.left, dpi), toPixels(spec.top, dpi), toPixels(spec.left + spec.width, dpi),
                toPixels(spec.top + spec.height, dpi)};
}

SIZE outerSize(int designWidth, int designHeight, DWORD style, DWORD exStyle, int dpi) {
    const RECT designFrame = frameAt(style, exStyle, kDesignDpi);
    const int clientWidth = designWidth - (designFrame.right - designFrame.left);
    const int clientHeight = designHeight - (designFrame.bottom - designFrame.top);
    if (dpi == kDesignDpi || clientWidth < 0 || clientHeight < 0) return SIZE{designWidth, designHeight};
    const RECT frame = frameAt(style, exStyle, dpi);
    return SIZE{toPixels(clientWidth, dpi) + (frame.right - frame.left),
                toPixels(clientHeight, dpi) + (frame.bottom - frame.top)};
}

SIZE designOuterSize(int width, int height, DWORD style, DWORD exStyle, int dpi) {
    if (dpi == kDesignDpi) return SIZE{width, height};
    const RECT frame = frameAt(style, exStyle, dpi);
    const RECT designFrame = frameAt(style, exStyle, kDesignDpi);
    // Rounded down, so that scaling back up never overshoots.
    const auto down = [dpi](int pixels) { return pixels > 0 ? pixels * kDesignDpi / dpi : 0; };
    return SIZE{down(width - (frame.right - frame.left)) + (designFrame.right - designFrame.left),
                down(height - (frame.bottom - frame.top)) + (designFrame.bottom - designFrame.top)};
}

namespace {

// Font heights are rounded down: a glyph box rounded up by half a pixel
// outgrows a label whose height was scaled exactly.
int fontHeight(int designHeight, int dpi) {
    const int height = designHeight * dpi / kDesignDpi;
    return height > 0 ? height : 1;
}

}  // namespace

HFONT guiFont(int dpi, bool& owned) {
    auto stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    owned = false;
    const int system = systemDpi();
    LOGFONTW face{};
    if ((dpi == kDesignDpi && system == kDesignDpi) || GetObjectW(stock, sizeof(face), &face) != sizeof(face))
        return stock;
    // The stock font is made for the system's DPI; its 96-DPI height is the
    // designed one.
    const int designHeight = MulDiv(face.lfHeight < 0 ? -face.lfHeight : face.lfHeight, kDesignDpi, system);
    face.lfHeight = face.lfHeight < 0 ? -fontHeight(designHeight, dpi) : fontHeight(designHeight, dpi);
    face.lfWidth = 0;
    HFONT scaled = CreateFontIndirectW(&face);
    if (scaled == nullptr) return stock;
    owned = true;
    return scaled;
}

HFONT chineseFont(int designPixelHeight, int dpi) {
    return CreateFontW(-fontHeight(designPixelHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"");
}

}  // namespace win32
