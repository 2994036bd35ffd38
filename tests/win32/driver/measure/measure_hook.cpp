// A window hook the e2e driver places on the program's GUI thread. Sent the
// registered message "VorbelzozE2EMeasure" with a number n, it writes what
// only the program's own process can see into
// %VORBELZOZ_E2E_MEASURE%\layout-n.json: the window's DPI and client size,
// and for every control its place, text, font and the text's extent in that
// font (GetTextExtentPoint32). Fonts are handles of the program's process,
// so the measuring has to happen there.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string json(const std::wstring& text) {
    std::string out = "\"";
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c > 0x7E) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::wstring textOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

int dpiOf(HWND hwnd) {
    using Function = UINT(WINAPI*)(HWND);
    auto function = reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (function != nullptr) return static_cast<int>(function(hwnd));
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::string describeControl(HWND control, HWND window) {
    wchar_t className[64] = {};
    GetClassNameW(control, className, 64);
    RECT bounds;
    GetWindowRect(control, &bounds);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bounds), 2);
    const std::wstring text = textOf(control);

    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW face{};
    if (font != nullptr) GetObjectW(font, sizeof(face), &face);
    SIZE extent{0, 0};
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);

    char numbers[256];
    std::snprintf(numbers, sizeof(numbers),
                  "\"index\": %d, \"visible\": %s, \"rect\": [%ld, %ld, %ld, %ld], \"style\": %lu, "
                  "\"font_height\": %ld, \"extent\": [%ld, %ld]",
                  GetDlgCtrlID(control) - 1000, IsWindowVisible(control) ? "true" : "false", bounds.left,
                  bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                  static_cast<unsigned long>(GetWindowLongW(control, GWL_STYLE)), face.lfHeight, extent.cx,
                  extent.cy);
    return std::string("{") + numbers + ", \"class\": " + json(className) + ", \"text\": " + json(text) + "}";
}

void measure(HWND window, unsigned number) {
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VORBELZOZ_E2E_MEASURE", folder, MAX_PATH) == 0) return;
    RECT client, frame;
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    HDC screen = GetDC(nullptr);
    const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);

    char head[256];
    std::snprintf(
        head, sizeof(head),
        "{\"dpi\": %d, \"system_dpi\": %d, \"client\": [%ld, %ld], \"outer\": [%ld, %ld], \"controls\": [",
        dpiOf(window), systemDpi, client.right, client.bottom, frame.right - frame.left,
        frame.bottom - frame.top);
    std::string out = head;
    const char* separator = "";
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        out += separator + describeControl(child, window);
        separator = ", ";
    }
    out += "]}\n";

    const std::wstring path = std::wstring(folder) + L"\\layout-" + std::to_wstring(number) + L".json";
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) return;
    std::fwrite(out.data(), 1, out.size(), file);
    std::fclose(file);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK measureHook(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT message = RegisterWindowMessageW(L"VorbelzozE2EMeasure");
    if (code == HC_ACTION) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (sent->message == message) measure(sent->hwnd, static_cast<unsigned>(sent->wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
