#include "runtime/win32/dpi_layout.h"

#include <commctrl.h>

#include <map>

#include "runtime/win32/dpi_scaling.h"
#include "runtime/win32/html_view.h"
#include "runtime/win32/rich_text.h"

namespace win32 {

namespace {

// The fonts of one DPI: the GUI font and one per designed pixel height,
// shared by the controls that use it.
struct FontSet {
    int dpi;
    std::vector<HFONT>& owned;
    HFONT gui = nullptr;
    std::map<int, HFONT> chinese;

    HFONT forSpec(const ControlSpec& spec) {
        if (spec.fontPixelHeight > 0) {
            auto found = chinese.find(spec.fontPixelHeight);
            if (found != chinese.end()) return found->second;
            if (HFONT font = chineseFont(spec.fontPixelHeight, dpi)) {
                owned.push_back(font);
                chinese.emplace(spec.fontPixelHeight, font);
                return font;
            }
        }
        if (gui == nullptr) {
            bool isOwned = false;
            gui = guiFont(dpi, isOwned);
            if (isOwned) owned.push_back(gui);
        }
        return gui;
    }
};

void rescaleColumns(HWND list, int fromDpi, int dpi) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int columns =
        header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int column = 0; column < columns; ++column) {
        const auto width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
        SendMessageW(list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(MulDiv(width, dpi, fromDpi), 0));
    }
}

}  // namespace

void layOutControls(std::span<const ControlSpec> specs, const std::vector<HWND>& controls, int fromDpi,
                    int dpi, std::vector<HFONT>& fonts) {
    std::vector<HFONT> newFonts;
    FontSet set{dpi, newFonts, nullptr, {}};
    const bool moved = fromDpi != 0;
    for (std::size_t i = 0; i < specs.size() && i < controls.size(); ++i) {
        const ControlSpec& spec = specs[i];
        HWND control = controls[i];
        if (moved) {
            const RECT at = controlBounds(spec, dpi);
            SetWindowPos(control, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (spec.kind == ControlKind::RichTextBox && moved) {
            // A new font would reset the format the program gave the box.
            rescaleRichText(control, fromDpi, dpi);
            continue;
        }
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(set.forSpec(spec)), moved ? TRUE : FALSE);
        if (!moved) continue;
        if (spec.kind == ControlKind::ListView) rescaleColumns(control, fromDpi, dpi);
        if (spec.kind == ControlKind::HtmlView) zoomHtmlForDpi(control, dpi);
    }
    for (HFONT old : fonts) DeleteObject(old);
    fonts.swap(newFonts);
}

}  // namespace win32
