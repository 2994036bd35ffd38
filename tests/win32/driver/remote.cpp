#include "remote.h"

#include <commctrl.h>
#include <richedit.h>

RemoteBuffer::RemoteBuffer(HANDLE process, std::size_t size)
    : process_(process),
      address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}

RemoteBuffer::~RemoteBuffer() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteBuffer::write(std::size_t offset, const void* data, std::size_t size) {
    SIZE_T written = 0;
    return WriteProcessMemory(process_, address() + offset, data, size, &written) && written == size;
}

bool RemoteBuffer::read(std::size_t offset, void* data, std::size_t size) const {
    SIZE_T got = 0;
    return ReadProcessMemory(process_, address() + offset, data, size, &got) && got == size;
}

int listRowCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring listCellText(HANDLE process, HWND list, int row, int column) {
    constexpr int kChars = 1024;
    RemoteBuffer remote(process, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    if (!remote.valid()) return L"";
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kChars;
    item.pszText = reinterpret_cast<wchar_t*>(remote.address() + sizeof(LVITEMW));
    remote.write(0, &item, sizeof(item));
    const auto copied = static_cast<int>(SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                                      reinterpret_cast<LPARAM>(remote.address())));
    if (copied <= 0) return L"";
    std::wstring text(static_cast<std::size_t>(copied), L'\0');
    remote.read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t));
    return text;
}

bool listRowRect(HANDLE process, HWND list, int row, RECT& rect) {
    RemoteBuffer remote(process, sizeof(RECT));
    if (!remote.valid()) return false;
    RECT request{LVIR_LABEL, 0, 0, 0};
    remote.write(0, &request, sizeof(request));
    if (!SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(remote.address()))) {
        return false;
    }
    return remote.read(0, &rect, sizeof(rect));
}

int listRowImage(HANDLE process, HWND list, int row) {
    RemoteBuffer remote(process, sizeof(LVITEMW));
    if (!remote.valid()) return -1;
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    remote.write(0, &item, sizeof(item));
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.address()))) return -1;
    return remote.read(0, &item, sizeof(item)) ? item.iImage : -1;
}

bool listRowSelected(HWND list, int row) {
    return (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) !=
           0;
}

std::wstring richEditText(HANDLE process, HWND box) {
    constexpr int kChars = 4096;
    RemoteBuffer remote(process, sizeof(GETTEXTEX) + kChars * sizeof(wchar_t));
    if (!remote.valid()) return L"";
    GETTEXTEX how{};
    how.cb = kChars * sizeof(wchar_t);
    how.flags = GT_USECRLF;
    how.codepage = 1200;
    remote.write(0, &how, sizeof(how));
    const auto copied =
        static_cast<int>(SendMessageW(box, EM_GETTEXTEX, reinterpret_cast<WPARAM>(remote.address()),
                                      reinterpret_cast<LPARAM>(remote.address() + sizeof(GETTEXTEX))));
    if (copied <= 0) return L"";
    std::wstring text(static_cast<std::size_t>(copied), L'\0');
    remote.read(sizeof(GETTEXTEX), text.data(), text.size() * sizeof(wchar_t));
    return text;
}
