#include "probe.h"

#include <cstdio>
#include <cstring>
#include <vector>

bool waitUntil(const std::function<bool()>& condition, int timeoutMs, int pollMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() > end) return false;
        Sleep(static_cast<DWORD>(pollMs));
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

BOOL CALLBACK matchCaptionPart(HWND hwnd, LPARAM parameter) {
    auto& search = *reinterpret_cast<Search*>(parameter);
    if (!IsWindowVisible(hwnd) || textOf(hwnd).find(search.captionPrefix) == std::wstring::npos) return TRUE;
    search.found = hwnd;
    return FALSE;
}

}  // namespace

HWND findWindowShowing(const std::wstring& captionPart) {
    Search search{0, L"", captionPart};
    EnumWindows(matchCaptionPart, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

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

void clickAt(HWND hwnd, POINT client) {
    const LPARAM where = MAKELPARAM(client.x, client.y);
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(hwnd, WM_LBUTTONUP, 0, where);
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

bool requestScreenshot(HWND window, const std::string& name) {
    RECT frame;
    if (!GetWindowRect(window, &frame)) return false;
    std::printf("shot %s %ld %ld %ld %ld\n", name.c_str(), frame.left, frame.top, frame.right - frame.left,
                frame.bottom - frame.top);
    std::fflush(stdout);
    char answer[64] = {};
    if (std::fgets(answer, sizeof(answer), stdin) == nullptr) return false;
    return std::strncmp(answer, "ok", 2) == 0;
}
