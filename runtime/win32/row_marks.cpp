#include "runtime/win32/row_marks.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "runtime/row_mark_pixels.h"
#include "runtime/win32/native_windows.h"
#include "runtime/win32/virtual_list.h"
#include "runtime/win32/wide_text.h"

namespace win32 {

namespace {

// Image 0 is blank, so a row without a mark shows no icon; a mark's image
// is its value.
constexpr RowMark kImages[] = {RowMark::None, RowMark::NotPractised, RowMark::Practised, RowMark::Mastered};

HWND listHandle(ControlRef list) {
    const ControlSpec* spec = controlSpecOf(list);
    return spec != nullptr && spec->kind == ControlKind::ListView ? controlHandle(list) : nullptr;
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

// The image list (the small-icon size of the system, which follows the
// display's scale) and the tooltips, set up on a list's first mark. The
// list view destroys its image list itself.
bool prepareImages(HWND list, ListRows& table) {
    if (table.marksReady) return true;
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
    table.marksReady = true;
    return true;
}

}  // namespace

void setRowMark(ControlRef list, int row, RowMark mark, const Text& tooltip) {
    HWND hwnd = listHandle(list);
    ListRows* table = listRowsOf(hwnd);
    if (table == nullptr || row < 0 || row >= static_cast<int>(table->rows.size()) ||
        !prepareImages(hwnd, *table))
        return;
    const int image = static_cast<int>(mark);
    ListRow& marked = table->rows[static_cast<std::size_t>(row)];
    marked.image = image >= 1 && image <= 3 ? image : 0;
    marked.tip = toWide(tooltip);
    // Marking the rows of a list not yet drawn sends it nothing: under Wine
    // even asking whether it is visible costs tens of microseconds a row.
    if (table->drawn) SendMessageW(hwnd, LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
}

void showRow(ControlRef list, int row) {
    HWND hwnd = listHandle(list);
    if (listRow(hwnd, row) == nullptr) return;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    SendMessageW(hwnd, LVM_SETSELECTIONMARK, 0, row);
    SendMessageW(hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

}  // namespace win32
