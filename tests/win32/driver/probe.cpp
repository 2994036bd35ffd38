#include "probe.h"

#include <cstdio>
#include <vector>

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() > end) return false;
        Sleep(50);
    }
}

namespace {

std::wstring classOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

struct Search {
    DWORD processId;
    std::wstring className;
    std::wstring captionPrefix;
    HWND found = nullptr;
};

BOOL CALLBACK matchTopLevel(HWND hwnd, LPARAM parameter) {
    auto& search = *reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search.processId || !IsWindowVisible(hwnd) || classOf(hwnd) != search.className) return TRUE;
    if (textOf(hwnd).rfind(search.captionPrefix, 0) != 0) return TRUE;
    search.found = hwnd;
    return FALSE;
}

HWND findTopLevel(DWORD processId, const std::wstring& className, const std::wstring& captionPrefix) {
    Search search{processId, className, captionPrefix};
    EnumWindows(matchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK collectStatic(HWND hwnd, LPARAM parameter) {
    auto& texts = *reinterpret_cast<std::vector<std::wstring>*>(parameter);
    if (_wcsicmp(classOf(hwnd).c_str(), L"Static") == 0) texts.push_back(textOf(hwnd));
    return TRUE;
}

}  // namespace

HWND findProgramWindow(DWORD processId, const std::wstring& captionPrefix) {
    return findTopLevel(processId, L"VorbelzozWindow", captionPrefix);
}

HWND controlOf(HWND window, int index) {
    return GetDlgItem(window, 1000 + index);
}

std::wstring textOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return L"";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(copied);
    return text;
}

bool setText(HWND hwnd, const std::wstring& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                               5000, &result) != 0;
}

void click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

void pressEnter(HWND edit) {
    // Posted like real input: the program's message loop translates it,
    // which queues the Enter character as well.
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(edit, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001));
}

void pressKey(WORD virtualKey) {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

void doubleClickAt(HWND hwnd, POINT client) {
    const LPARAM where = MAKELPARAM(client.x, client.y);
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(hwnd, WM_LBUTTONUP, 0, where);
    PostMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    PostMessageW(hwnd, WM_LBUTTONUP, 0, where);
}

HWND findMessageBox(DWORD processId) {
    return findTopLevel(processId, L"#32770", L"");
}

std::wstring messageBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    if (text != nullptr) return textOf(text);
    std::vector<std::wstring> texts;
    EnumChildWindows(box, collectStatic, reinterpret_cast<LPARAM>(&texts));
    std::wstring longest;
    for (const auto& t : texts) {
        if (t.size() > longest.size()) longest = t;
    }
    return longest;
}

void pressMessageBoxButton(HWND box, int id) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

bool saveScreenshot(HWND window, const std::wstring& bmpPath) {
    RECT frame;
    if (!GetWindowRect(window, &frame)) return false;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    if (width <= 0 || height <= 0) return false;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory, old);

    bool saved = false;
    if (copied && bits != nullptr) {
        const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
        const DWORD imageSize = stride * static_cast<DWORD>(height);
        BITMAPFILEHEADER header{};
        header.bfType = 0x4D42;
        header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        header.bfSize = header.bfOffBits + imageSize;
        FILE* file = _wfopen(bmpPath.c_str(), L"wb");
        if (file != nullptr) {
            saved = std::fwrite(&header, sizeof(header), 1, file) == 1 &&
                    std::fwrite(&info.bmiHeader, sizeof(BITMAPINFOHEADER), 1, file) == 1 &&
                    std::fwrite(bits, 1, imageSize, file) == imageSize;
            std::fclose(file);
        }
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}
