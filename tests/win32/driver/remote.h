// Reading controls of another process: messages whose parameters point to
// memory (list-view items, rich-edit text) need that memory inside the
// target process.
#pragma once

#include <windows.h>

#include <string>

class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, std::size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool valid() const { return address_ != nullptr; }
    char* address() const { return static_cast<char*>(address_); }
    bool write(std::size_t offset, const void* data, std::size_t size);
    bool read(std::size_t offset, void* data, std::size_t size) const;

private:
    HANDLE process_;
    void* address_;
};

int listRowCount(HWND list);
std::wstring listCellText(HANDLE process, HWND list, int row, int column);
bool listRowRect(HANDLE process, HWND list, int row, RECT& rect);
int listRowImage(HANDLE process, HWND list, int row);  // -1 when it cannot be read
bool listRowSelected(HWND list, int row);
std::wstring richEditText(HANDLE process, HWND box);  // UTF-16, CR LF line ends
