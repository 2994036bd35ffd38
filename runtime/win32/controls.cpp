#include "runtime/win32/controls.h"

#include <windows.h>
// Needs windows.h first.
#include <commctrl.h>

#include <string>

#include "runtime/win32/dpi_scaling.h"
#include "runtime/win32/native_windows.h"
#include "runtime/win32/rich_text.h"
#include "runtime/win32/virtual_list.h"
#include "runtime/win32/wide_text.h"

namespace win32 {

namespace {

bool isKind(ControlRef control, ControlKind kind) {
    const ControlSpec* spec = controlSpecOf(control);
    return spec != nullptr && spec->kind == kind;
}

HWND listHandle(ControlRef list) {
    return isKind(list, ControlKind::ListView) ? controlHandle(list) : nullptr;
}

}  // namespace

Text controlText(ControlRef control) {
    HWND hwnd = controlHandle(control);
    if (hwnd == nullptr) return Text();
    if (isKind(control, ControlKind::RichTextBox)) return richText(hwnd);
    const int length = static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(length + 1),
                                                     reinterpret_cast<LPARAM>(text.data())));
    return fromWide(text.data(), copied);
}

void setControlText(ControlRef control, const Text& text) {
    HWND hwnd = controlHandle(control);
    if (hwnd == nullptr) return;
    if (isKind(control, ControlKind::RichTextBox)) {
        setRichText(hwnd, text);
        return;
    }
    SetWindowTextW(hwnd, toWide(text).c_str());
}

bool isChecked(ControlRef control) {
    HWND hwnd = controlHandle(control);
    return hwnd != nullptr && SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setVisible(ControlRef control, bool visible) {
    HWND hwnd = controlHandle(control);
    if (hwnd != nullptr) ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

void setEnabled(ControlRef control, bool enabled) {
    HWND hwnd = controlHandle(control);
    if (hwnd != nullptr) EnableWindow(hwnd, enabled ? TRUE : FALSE);
}

Rect controlRect(ControlRef control) {
    HWND hwnd = controlHandle(control);
    if (hwnd == nullptr) return Rect();
    RECT bounds;
    GetWindowRect(hwnd, &bounds);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&bounds), 2);
    // In the layout's 96-DPI units, which the core computes with; from the
    // edges, which the layout scaled.
    const int dpi = windowDpiOf(control.window);
    const int left = toDesign(bounds.left, dpi);
    const int top = toDesign(bounds.top, dpi);
    return Rect{left, top, toDesign(bounds.right, dpi) - left, toDesign(bounds.bottom, dpi) - top};
}

int insertColumn(ControlRef list, const Text& title, int width) {
    HWND hwnd = listHandle(list);
    if (hwnd == nullptr) return -1;
    HWND header = reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETHEADER, 0, 0));
    const int position =
        header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    std::wstring caption = toWide(title);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = toPixels(width, windowDpiOf(list.window));
    column.pszText = caption.data();
    column.iSubItem = position;
    return static_cast<int>(SendMessageW(hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(position),
                                         reinterpret_cast<LPARAM>(&column)));
}

void setColumnWidth(ControlRef list, int column, int width) {
    HWND hwnd = listHandle(list);
    if (hwnd != nullptr)
        SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                     MAKELPARAM(toPixels(width, windowDpiOf(list.window)), 0));
}

int insertRow(ControlRef list, const Text& text) {
    return appendListRow(listHandle(list), text);
}

Text cellText(ControlRef list, int row, int column) {
    const ListRow* found = listRow(listHandle(list), row);
    if (found == nullptr || column != 0) return Text();
    return fromWide(found->text);
}

void deleteRow(ControlRef list, int row) {
    removeListRow(listHandle(list), row);
}

int selectedRow(ControlRef list) {
    HWND hwnd = listHandle(list);
    if (hwnd == nullptr) return -1;
    return static_cast<int>(SendMessageW(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void setProgress(ControlRef bar, int position) {
    if (!isKind(bar, ControlKind::ProgressBar)) return;
    HWND hwnd = controlHandle(bar);
    if (hwnd == nullptr) return;
    const int maximum = controlSpecOf(bar)->rangeMax;
    if (position < 0) position = 0;
    if (position > maximum) position = maximum;
    SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

}  // namespace win32
