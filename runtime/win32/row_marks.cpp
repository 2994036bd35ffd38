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

// Image 0 is blank, so a row the program never marked, which the list view
// gives image 0, shows no icon; a mark's image is its value.
constexpr RowMark kImages[] = {RowMark::None, RowMark::NotPractised, RowMark::Practised, RowMark::Mastered};

// Each prepared list's tooltips. A row keeps the number of its tip (from 1)
// in its item data, so the tip stays with the row when rows above it go. A
// row marked again gets a new number: every message to the list costs a
// tenth of a millisecond under Wine, so the old one is not asked for, and the
// table goes with the list.
std::map<HWND, std::vector<std::wstring>> tipsOfList;

HWND listHandle(ControlRef list) {
    const ControlSpec* spec = controlSpecOf(list);
    return spec != nullptr && spec->kind == ControlKind::ListView ? controlHandle(list) : nullptr;
}

bool validRow(HWND list, int row) {
    return row >= 0 && row < static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
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

// The tips go with the list: the table entry is dropped when it is destroyed.
LRESULT CALLBACK listSubclass(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        tipsOfList.erase(list);
        RemoveWindowSubclass(list, listSubclass, id);
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

// The image list (the small-icon size of the system, which follows the
// display's scale) and the tooltips, set up on a list's first mark. The
// list view destroys its image list itself.
bool prepareList(HWND list) {
    if (tipsOfList.count(list) != 0) return true;
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
    SetWindowSubclass(list, listSubclass, 1, 0);
    tipsOfList[list];
    return true;
}

LPARAM itemData(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

}  // namespace

// One message per row: the whole bank list is marked as the window opens.
void setRowMark(ControlRef list, int row, RowMark mark, const Text& tooltip) {
    HWND hwnd = listHandle(list);
    if (hwnd == nullptr || row < 0 || !prepareList(hwnd)) return;
    holdRedrawWhileHidden(hwnd);
    std::vector<std::wstring>& tips = tipsOfList[hwnd];
    const int image = static_cast<int>(mark);
    LVITEMW item{};
    item.mask = LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    item.iImage = image >= 1 && image <= 3 ? image : 0;
    item.lParam = static_cast<LPARAM>(tips.size() + 1);
    if (SendMessageW(hwnd, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item))) tips.push_back(toWide(tooltip));
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

void answerRowTipRequest(const NMHDR& header) {
    // The text buffer is the list view's, which reads the answer from it.
    auto& request = const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(header));
    auto found = tipsOfList.find(header.hwndFrom);
    if (found == tipsOfList.end() || request.pszText == nullptr || request.cchTextMax < 1) return;
    const LPARAM tip = itemData(header.hwndFrom, request.iItem);
    if (tip < 1 || tip > static_cast<LPARAM>(found->second.size())) return;
    const std::wstring& text = found->second[static_cast<std::size_t>(tip - 1)];
    if (text.empty()) return;
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(request.cchTextMax - 1));
    text.copy(request.pszText, length);
    request.pszText[length] = L'\0';
}

}  // namespace win32
