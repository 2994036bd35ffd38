#include "runtime/win32/controls.h"

#include <windows.h>
// Needs windows.h first.
#include <commctrl.h>

#include <climits>
#include <string>

#include "runtime/win32/list_fill.h"
#include "runtime/win32/dpi_scaling.h"
#include "runtime/win32/native_windows.h"
#include "runtime/win32/rich_text.h"
#include "runtime/win32/row_marks.h"
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

int rowCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
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
    HWND hwnd = listHandle(list);
    if (hwnd == nullptr) return -1;
    holdRedrawWhileHidden(hwnd);
    std::wstring caption = toWide(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    // Past the last row appends, without asking the list for its length
    // (each message costs a tenth of a millisecond under Wine).
    item.iItem = INT_MAX;
    item.pszText = caption.data();
    item.iImage = I_IMAGECALLBACK;  // the row's mark, if it gets one
    const int row = static_cast<int>(SendMessageW(hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row >= 0) noteRowInserted(hwnd, row);
    return row;
}

Text cellText(ControlRef list, int row, int column) {
    HWND hwnd = listHandle(list);
    if (hwnd == nullptr || row < 0 || row >= rowCount(hwnd) || column < 0) return Text();
    // The control copies at most the buffer's size less one; grow until the
    // text fits with room to spare, so texts of any length come back whole.
    std::wstring buffer(256, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const int copied = static_cast<int>(
            SendMessageW(hwnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (copied < static_cast<int>(buffer.size()) - 1 || buffer.size() >= (1u << 20)) {
            return fromWide(buffer.data(), copied);
        }
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

void deleteRow(ControlRef list, int row) {
    HWND hwnd = listHandle(list);
    if (hwnd != nullptr && row >= 0 && SendMessageW(hwnd, LVM_DELETEITEM, static_cast<WPARAM>(row), 0))
        noteRowDeleted(hwnd, row);
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
