#include "runtime/win32/row_marks.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "runtime/row_mark_pixels.h"
#include "runtime/win32/list_fill.h"
#include "runtime/win32/native_windows.h"
#include "runtime/win32/wide_text.h"

namespace win32 {

namespace {

// Image 0 is blank, so a row without a mark shows no icon; a mark's image
// is its value.
constexpr RowMark kImages[] = {RowMark::None, RowMark::NotPractised, RowMark::Practised, RowMark::Mastered};

struct RowState {
    int image = 0;
    std::wstring tip;
};

// Every list's rows as the program sees them, kept beside the list view:
// rows are inserted with a callback image, and the list asks for the image
// (LVN_GETDISPINFO) only for the rows it draws. Marking a row is then no
// message at all while the window is hidden, which matters when the whole
// bank list is marked as the window opens: under Wine every message to the
// list costs about a tenth of a millisecond in this program.
struct ListRows {
    bool imagesReady = false;
    std::vector<RowState> rows;
};
std::map<HWND, ListRows> listRows;

HWND listHandle(ControlRef list) {
    const ControlSpec* spec = controlSpecOf(list);
    return spec != nullptr && spec->kind == ControlKind::ListView ? controlHandle(list) : nullptr;
}

bool validRow(HWND list, int row) {
    return row >= 0 && row < static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

const RowState* rowState(HWND list, int row) {
    auto found = listRows.find(list);
    if (found == listRows.end() || row < 0 || row >= static_cast<int>(found->second.rows.size()))
        return nullptr;
    return &found->second.rows[static_cast<std::size_t>(row)];
}

// A 32-bit picture with its alpha for image lists that blend, and a mask
// for those that do not.
bool addImage(HIMAGELIST images, RowMark mark, int size) {
    std::vector<std::uint32_t> pixels = rowMarkPixels(mark, size);
    pixels.resize(static_cast<std::size_t>(size) * size, 0);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (colour == nullptr) return false;
    std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(bits));

    // Monochrome rows are padded to 16 bits; a set bit is transparent.
    const int stride = (size + 15) / 16 * 2;
    std::vector<BYTE> maskBits(static_cast<std::size_t>(stride) * size, 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if ((pixels[static_cast<std::size_t>(y) * size + x] >> 24) < 0x80)
                maskBits[static_cast<std::size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    HBITMAP mask = CreateBitmap(size, size, 1, 1, maskBits.data());
    const bool added = ImageList_Add(images, colour, mask) >= 0;
    DeleteObject(colour);
    if (mask != nullptr) DeleteObject(mask);
    return added;
}

// The rows' table goes with the list.
LRESULT CALLBACK listSubclass(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        listRows.erase(list);
        RemoveWindowSubclass(list, listSubclass, id);
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

// The image list (the small-icon size of the system, which follows the
// display's scale) and the tooltips, set up on a list's first mark. The
// list view destroys its image list itself.
bool prepareImages(HWND list, ListRows& table) {
    if (table.imagesReady) return true;
    const int size = GetSystemMetrics(SM_CXSMICON);
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 4, 0);
    if (images == nullptr) return false;
    for (RowMark mark : kImages) {
        if (!addImage(images, mark, size)) {
            ImageList_Destroy(images);
            return false;
        }
    }
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_INFOTIP, LVS_EX_INFOTIP);
    table.imagesReady = true;
    return true;
}

}  // namespace

void noteRowInserted(HWND list, int row) {
    auto [found, added] = listRows.try_emplace(list);
    if (added) SetWindowSubclass(list, listSubclass, 1, 0);
    std::vector<RowState>& rows = found->second.rows;
    if (row >= 0 && row <= static_cast<int>(rows.size())) rows.insert(rows.begin() + row, RowState{});
}

void noteRowDeleted(HWND list, int row) {
    auto found = listRows.find(list);
    if (found == listRows.end()) return;
    std::vector<RowState>& rows = found->second.rows;
    if (row >= 0 && row < static_cast<int>(rows.size())) rows.erase(rows.begin() + row);
}

void setRowMark(ControlRef list, int row, RowMark mark, const Text& tooltip) {
    HWND hwnd = listHandle(list);
    auto found = listRows.find(hwnd);
    if (hwnd == nullptr || found == listRows.end() || row < 0 ||
        row >= static_cast<int>(found->second.rows.size()) || !prepareImages(hwnd, found->second))
        return;
    const int image = static_cast<int>(mark);
    found->second.rows[static_cast<std::size_t>(row)] =
        RowState{image >= 1 && image <= 3 ? image : 0, toWide(tooltip)};
    if (IsWindowVisible(hwnd)) SendMessageW(hwnd, LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
}

void showRow(ControlRef list, int row) {
    HWND hwnd = listHandle(list);
    if (hwnd == nullptr || !validRow(hwnd, row)) return;
    // The scroll range is only known again with redrawing on.
    resumeRedraw(hwnd);
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    SendMessageW(hwnd, LVM_SETSELECTIONMARK, 0, row);
    SendMessageW(hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void answerRowImageRequest(const NMHDR& header) {
    // The item is the list view's, which reads the answer from it.
    auto& request = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
    if ((request.item.mask & LVIF_IMAGE) == 0) return;
    const RowState* row = rowState(header.hwndFrom, request.item.iItem);
    request.item.iImage = row != nullptr ? row->image : 0;
}

void answerRowTipRequest(const NMHDR& header) {
    auto& request = const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(header));
    const RowState* row = rowState(header.hwndFrom, request.iItem);
    if (row == nullptr || row->tip.empty() || request.pszText == nullptr || request.cchTextMax < 1) return;
    const std::size_t length = std::min(row->tip.size(), static_cast<std::size_t>(request.cchTextMax - 1));
    row->tip.copy(request.pszText, length);
    request.pszText[length] = L'\0';
}

}  // namespace win32
