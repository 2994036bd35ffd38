#include "runtime/win32/virtual_list.h"

#include <commctrl.h>

#include <algorithm>
#include <map>

#include "runtime/win32/wide_text.h"

namespace win32 {

namespace {

constexpr UINT_PTR kSubclassId = 0x564c;

std::map<HWND, ListRows> lists;

void copyText(const std::wstring& text, wchar_t* buffer, int capacity) {
    if (buffer == nullptr || capacity < 1) return;
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
    text.copy(buffer, length);
    buffer[length] = L'\0';
}

// Every message to the list, the program's own and the system's, passes
// here first; rows appended since the last one reach the list view as one
// new count before it draws, scrolls or answers anything.
LRESULT CALLBACK listSubclass(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        lists.erase(list);
        RemoveWindowSubclass(list, listSubclass, id);
    } else if (message != LVM_SETITEMCOUNT) {
        auto found = lists.find(list);
        if (found != lists.end()) {
            ListRows& table = found->second;
            if (message == WM_PAINT) table.drawn = true;
            const int count = static_cast<int>(table.rows.size());
            if (table.countShown != count) {
                table.countShown = count;
                DefSubclassProc(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(count),
                                LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
            }
        }
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

int appendListRow(HWND list, const Text& text) {
    if (list == nullptr) return -1;
    auto [found, added] = lists.try_emplace(list);
    if (added) SetWindowSubclass(list, listSubclass, kSubclassId, 0);
    ListRows& table = found->second;
    table.rows.push_back(ListRow{toWide(text), 0, {}});
    // A row added to a list on screen (a bank just saved) shows at once;
    // one that fills a list not yet drawn waits for the first message.
    if (table.drawn) SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    return static_cast<int>(table.rows.size()) - 1;
}

bool removeListRow(HWND list, int row) {
    auto found = lists.find(list);
    if (found == lists.end() || row < 0 || row >= static_cast<int>(found->second.rows.size())) return false;
    ListRows& table = found->second;
    // The list first learns of any rows still pending, then loses this one
    // through LVM_DELETEITEM, which moves the selection of the rows below
    // up with them.
    SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    table.rows.erase(table.rows.begin() + row);
    table.countShown = static_cast<int>(table.rows.size());
    SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
    return true;
}

ListRows* listRowsOf(HWND list) {
    auto found = lists.find(list);
    return found != lists.end() ? &found->second : nullptr;
}

const ListRow* listRow(HWND list, int row) {
    const ListRows* table = listRowsOf(list);
    if (table == nullptr || row < 0 || row >= static_cast<int>(table->rows.size())) return nullptr;
    return &table->rows[static_cast<std::size_t>(row)];
}

void answerRowRequest(const NMHDR& header) {
    // The item is the list view's, which reads the answer from it.
    auto& request = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
    const ListRow* row = listRow(header.hwndFrom, request.item.iItem);
    if ((request.item.mask & LVIF_TEXT) != 0) {
        copyText(row != nullptr && request.item.iSubItem == 0 ? row->text : std::wstring(),
                 request.item.pszText, request.item.cchTextMax);
    }
    if ((request.item.mask & LVIF_IMAGE) != 0) request.item.iImage = row != nullptr ? row->image : 0;
}

void answerRowTipRequest(const NMHDR& header) {
    auto& request = const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(header));
    const ListRow* row = listRow(header.hwndFrom, request.iItem);
    if (row != nullptr && !row->tip.empty()) copyText(row->tip, request.pszText, request.cchTextMax);
}

LRESULT answerFindRequest(const NMHDR& header) {
    const auto& request = reinterpret_cast<const NMLVFINDITEMW&>(header);
    const ListRows* table = listRowsOf(header.hwndFrom);
    const LVFINDINFOW& find = request.lvfi;
    if (table == nullptr || table->rows.empty() || (find.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 ||
        find.psz == nullptr)
        return -1;
    const int count = static_cast<int>(table->rows.size());
    const int wanted = static_cast<int>(wcslen(find.psz));
    const bool partial = (find.flags & LVFI_PARTIAL) != 0;
    const int start = request.iStart >= 0 && request.iStart < count ? request.iStart : 0;
    // The search the list view does for its own rows: from the given row,
    // without regard to case, round to the top when asked to wrap.
    const int steps = (find.flags & LVFI_WRAP) != 0 ? count : count - start;
    for (int step = 0; step < steps; ++step) {
        const int row = (start + step) % count;
        const std::wstring& text = table->rows[static_cast<std::size_t>(row)].text;
        if (partial ? static_cast<int>(text.size()) < wanted : static_cast<int>(text.size()) != wanted)
            continue;
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.data(), wanted, find.psz, wanted) ==
            CSTR_EQUAL)
            return row;
    }
    return -1;
}

}  // namespace win32
