#include "runtime/win32/native_windows.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "runtime/win32/control_factory.h"
#include "runtime/win32/dpi_layout.h"
#include "runtime/win32/dpi_scaling.h"
#include "runtime/win32/hotkeys.h"
#include "runtime/win32/message_loop.h"
#include "runtime/win32/notifications.h"
#include "runtime/win32/resource_ids.h"
#include "runtime/win32/virtual_list.h"
#include "runtime/win32/wide_text.h"
#include "ui/event_wiring.h"

namespace win32 {

namespace {

const wchar_t kWindowClass[] = L"VorbelzozWindow";
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr COLORREF kBlue = RGB(0, 0, 255);

struct OpenWindow {
    HWND hwnd = nullptr;
    bool open = false;
    // Made when first needed (see makeControls), so false for a while.
    bool controlsMade = false;
    std::vector<HWND> controls;
    std::vector<HFONT> fonts;
    std::vector<HWND> disabledWhileModal;
    HWND lastFocus = nullptr;
    int dpi = kDesignDpi;
    // The controls' places in 96-DPI units: the table's, or where the core
    // put them to fit the screen; laid out again at every DPI.
    std::vector<ControlSpec> layout;
    HMONITOR monitor = nullptr;
};

OpenWindow windows[2];

void makeControls(WindowId window);

OpenWindow& stateOf(WindowId window) {
    return windows[static_cast<int>(window)];
}

bool windowOf(HWND hwnd, WindowId& window) {
    LONG_PTR stored = GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    if (stored < 1 || stored > 2) return false;
    window = static_cast<WindowId>(stored - 1);
    return stateOf(window).hwnd == hwnd;
}

int indexOfControlId(WindowId window, int id) {
    const int index = id - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(windowSpec(window).controls.size())) return -1;
    return index;
}

void enableDisabledWindows(OpenWindow& state) {
    for (HWND other : state.disabledWhileModal) {
        if (IsWindow(other)) EnableWindow(other, TRUE);
    }
    state.disabledWhileModal.clear();
}

// The windows the modal one disabled come back first, so that activation
// returns to them and not to another program.
void destroyNow(WindowId window) {
    OpenWindow& state = stateOf(window);
    if (state.hwnd == nullptr) return;
    enableDisabledWindows(state);
    DestroyWindow(state.hwnd);
}

void onCommand(WindowId window, WPARAM wParam) {
    const int index = indexOfControlId(window, LOWORD(wParam));
    if (index < 0 || HIWORD(wParam) != BN_CLICKED) return;
    const ControlKind kind = windowSpec(window).controls[index].kind;
    if (kind == ControlKind::PushButton || kind == ControlKind::CheckBox) {
        dispatchEvent(window, index, EventKind::Click);
    }
}

LRESULT onNotify(WindowId window, const NMHDR& header) {
    const int index = indexOfControlId(window, static_cast<int>(header.idFrom));
    if (index < 0 || windowSpec(window).controls[index].kind != ControlKind::ListView) return 0;
    if (header.code == NM_CLICK) {
        dispatchEvent(window, index, EventKind::Click);
    } else if (header.code == NM_DBLCLK) {
        const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
        dispatchEvent(window, index, EventKind::DoubleClick,
                      EventArgs{activate.ptAction.x, activate.ptAction.y});
    } else if (header.code == LVN_GETDISPINFOW) {
        answerRowRequest(header);
    } else if (header.code == LVN_GETINFOTIPW) {
        answerRowTipRequest(header);
    } else if (header.code == LVN_ODFINDITEMW) {
        return answerFindRequest(header);
    }
    return 0;
}

LRESULT colourStatic(WindowId window, HDC dc, HWND control) {
    const int index = indexOfControlId(window, GetDlgCtrlID(control));
    if (index < 0 || !windowSpec(window).controls[index].blueText) return -1;
    SetTextColor(dc, kBlue);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// Another screen, another density: the system suggests the window's new
// rectangle, and the controls follow with fonts made for the new DPI.
void onDpiChanged(WindowId window, int dpi, const RECT& suggested) {
    OpenWindow& state = stateOf(window);
    if (dpi <= 0 || dpi == state.dpi) return;
    const int fromDpi = state.dpi;
    state.dpi = dpi;
    SetWindowPos(state.hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layOutControls(state.layout, state.controls, fromDpi, dpi, state.fonts);
    dispatchEvent(window, -1, EventKind::ScreenChanged);
}

RECT workAreaOf(HWND hwnd) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) return info.rcWork;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// A window crossing the work area's right or bottom edge moves back as far
// as needed; one larger than the area keeps its title bar on the screen.
void keepInsideWorkArea(HWND hwnd) {
    RECT frame;
    if (!GetWindowRect(hwnd, &frame)) return;
    const RECT area = workAreaOf(hwnd);
    LONG left = std::min(frame.left, area.right - (frame.right - frame.left));
    LONG top = std::min(frame.top, area.bottom - (frame.bottom - frame.top));
    left = std::max(left, area.left);
    top = std::max(top, area.top);
    if (left != frame.left || top != frame.top)
        SetWindowPos(hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Another monitor, resolution or task bar: the core fits the window again.
void onScreenMaybeChanged(WindowId window, bool surely) {
    OpenWindow& state = stateOf(window);
    HMONITOR monitor = MonitorFromWindow(state.hwnd, MONITOR_DEFAULTTONEAREST);
    if (!surely && monitor == state.monitor) return;
    state.monitor = monitor;
    dispatchEvent(window, -1, EventKind::ScreenChanged);
    keepInsideWorkArea(state.hwnd);
}

void releaseWindow(WindowId window) {
    OpenWindow& state = stateOf(window);
    for (HFONT font : state.fonts) DeleteObject(font);
    state = OpenWindow();
}

LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        const auto window = static_cast<WindowId>(reinterpret_cast<INT_PTR>(create->lpCreateParams));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(window) + 1);
        stateOf(window).hwnd = hwnd;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    WindowId window;
    if (!windowOf(hwnd, window)) return DefWindowProcW(hwnd, message, wParam, lParam);
    OpenWindow& state = stateOf(window);

    switch (message) {
        case WM_COMMAND:
            if (lParam != 0) onCommand(window, wParam);
            return 0;
        case WM_NOTIFY:
            return onNotify(window, *reinterpret_cast<const NMHDR*>(lParam));
        case WM_CTLCOLORSTATIC: {
            LRESULT brush =
                colourStatic(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
            if (brush != -1) return brush;
            break;
        }
        case WM_ACTIVATE:
            // Keep the keyboard focus on the control that had it when the
            // window is left and entered again (message boxes, other programs).
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(hwnd, focus)) state.lastFocus = focus;
            } else if (state.lastFocus != nullptr && IsWindow(state.lastFocus)) {
                SetFocus(state.lastFocus);
                return 0;
            }
            break;
        case WM_DPICHANGED:
            if (lParam != 0) onDpiChanged(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_DISPLAYCHANGE:
            onScreenMaybeChanged(window, true);
            break;
        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETWORKAREA) onScreenMaybeChanged(window, true);
            break;
        case WM_EXITSIZEMOVE:
            onScreenMaybeChanged(window, false);
            break;
        case WM_HOTKEY:
            onHotkeyPressed(static_cast<int>(wParam));
            return 0;
        case kMsgNotify:
            onPostedNotification(window, wParam, lParam);
            return 0;
        case kMsgMakeControls:
            makeControls(window);
            return 0;
        case kMsgCloseQuietly:
            destroyNow(window);
            return 0;
        case WM_CLOSE:
            // The close is never vetoed; the handler may end the program.
            dispatchEvent(window, -1, EventKind::CloseRequested);
            destroyNow(window);
            return 0;
        case WM_DESTROY:
            state.open = false;
            enableDisabledWindows(state);
            dispatchEvent(window, -1, EventKind::Destroyed);
            if (window == WindowId::Main) PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            releaseWindow(window);
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The edge between the system and the program: an exception (out of memory
// above all) ends the handler it came from, never unwinds into the system's
// message dispatch, and the program goes on.
LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return handleMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

// The program's icon at the given size, from its own resources; test
// programs built on the same port carry none and keep the system's.
HICON programIcon(int size) {
    HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(VORBELZOZ_ICON_ID), IMAGE_ICON, size,
                             size, LR_DEFAULTCOLOR);
    return icon ? static_cast<HICON>(icon) : LoadIconW(nullptr, IDI_APPLICATION);
}

bool registerWindowClass() {
    static bool registered = false;
    if (registered) return true;
    INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&common);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = programIcon(GetSystemMetrics(SM_CXICON));
    windowClass.hIconSm = programIcon(GetSystemMetrics(SM_CXSMICON));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    registered = RegisterClassExW(&windowClass) != 0;
    return registered;
}

// Centred in the work area of the monitor the window opens on.
void centreOnScreen(HWND hwnd) {
    RECT frame;
    GetWindowRect(hwnd, &frame);
    const RECT area = workAreaOf(hwnd);
    const int left = area.left + (area.right - area.left - (frame.right - frame.left)) / 2;
    const int top = area.top + (area.bottom - area.top - (frame.bottom - frame.top)) / 2;
    SetWindowPos(hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    keepInsideWorkArea(hwnd);
}

void focusFirstControl(OpenWindow& state, WindowId window) {
    const auto controls = windowSpec(window).controls;
    for (std::size_t i = 0; i < controls.size() && i < state.controls.size(); ++i) {
        HWND control = state.controls[i];
        if (controls[i].focusable && IsWindowVisible(control) && IsWindowEnabled(control)) {
            SetFocus(control);
            return;
        }
    }
}

// A window's controls are made the first time one of them is asked for, or
// once the window is about to be shown, or when the program is idle after
// another window has been shown. The main window's creation opens the bank
// window before it uses a control of its own; making its two dozen controls
// (a RichEdit among them) first would only delay the window the learner
// waits for. A control that cannot be made stays missing: calls on it do
// nothing, as on a closed window.
void makeControls(WindowId window) {
    OpenWindow& state = stateOf(window);
    if (!state.open || state.controlsMade) return;
    state.controlsMade = true;
    const auto controls = windowSpec(window).controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        HWND control = createControl(state.hwnd, window, static_cast<int>(i), controls[i], state.dpi);
        if (control == nullptr) break;
        state.controls.push_back(control);
    }
    state.layout.assign(controls.begin(), controls.end());
    layOutControls(controls, state.controls, 0, state.dpi, state.fonts);
}

void makeWaitingControlsLater() {
    for (const OpenWindow& state : windows) {
        if (state.open && !state.controlsMade) PostMessageW(state.hwnd, kMsgMakeControls, 0, 0);
    }
}

}  // namespace

HWND windowHandle(WindowId window) {
    const OpenWindow& state = stateOf(window);
    return state.open ? state.hwnd : nullptr;
}

HWND controlHandle(ControlRef control) {
    makeControls(control.window);
    const OpenWindow& state = stateOf(control.window);
    if (!state.open || control.index < 0 || control.index >= static_cast<int>(state.controls.size()))
        return nullptr;
    return state.controls[control.index];
}

const ControlSpec* controlSpecOf(ControlRef control) {
    const auto controls = windowSpec(control.window).controls;
    if (control.index < 0 || control.index >= static_cast<int>(controls.size())) return nullptr;
    return &controls[control.index];
}

bool isProgramWindow(HWND hwnd, WindowId& window) {
    return windowOf(hwnd, window);
}

bool loadWindow(WindowId window, bool modal) {
    OpenWindow& state = stateOf(window);
    if (state.hwnd != nullptr || !registerWindowClass()) return false;
    const WindowSpec& spec = windowSpec(window);

    std::vector<HWND> disabled;
    if (modal) {
        for (const OpenWindow& other : windows) {
            if (other.hwnd != nullptr && IsWindowEnabled(other.hwnd)) {
                EnableWindow(other.hwnd, FALSE);
                disabled.push_back(other.hwnd);
            }
        }
    }

    // Made at the size for the system's DPI; a window that lands on a screen
    // of another density is sized again for that one.
    const SIZE guess = outerSize(spec.outerWidth, spec.outerHeight, kFrameStyle, 0, systemDpi());
    HWND hwnd =
        CreateWindowExW(0, kWindowClass, toWide(spec.caption).c_str(), kFrameStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, guess.cx, guess.cy, nullptr, nullptr, GetModuleHandleW(nullptr),
                        reinterpret_cast<LPVOID>(static_cast<INT_PTR>(window)));
    if (hwnd == nullptr) {
        for (HWND other : disabled) EnableWindow(other, TRUE);
        return false;
    }
    state.open = true;
    state.dpi = windowDpi(hwnd);
    state.monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
    const SIZE outer = outerSize(spec.outerWidth, spec.outerHeight, kFrameStyle, 0, state.dpi);
    if (outer.cx != guess.cx || outer.cy != guess.cy) {
        SetWindowPos(hwnd, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    state.disabledWhileModal = disabled;

    // The creation handler runs before the window is shown or takes input;
    // it may change the size, so the window is centred afterwards.
    dispatchEvent(window, -1, EventKind::Created);
    if (!stateOf(window).open) return true;

    makeControls(window);
    centreOnScreen(hwnd);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    focusFirstControl(state, window);
    makeWaitingControlsLater();

    if (modal) runModalLoop(&stateOf(window).open);
    return true;
}

void closeWindow(WindowId window) {
    HWND hwnd = windowHandle(window);
    if (hwnd != nullptr) PostMessageW(hwnd, kMsgCloseQuietly, 0, 0);
}

Text windowCaption(WindowId window) {
    HWND hwnd = windowHandle(window);
    if (hwnd == nullptr) return Text();
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring caption(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, caption.data(), length + 1);
    return fromWide(caption.data(), copied);
}

void setWindowCaption(WindowId window, const Text& caption) {
    HWND hwnd = windowHandle(window);
    if (hwnd != nullptr) SetWindowTextW(hwnd, toWide(caption).c_str());
}

void setWindowSize(WindowId window, int outerWidth, int outerHeight) {
    HWND hwnd = windowHandle(window);
    if (hwnd == nullptr || outerWidth < 0 || outerHeight < 0) return;
    const SIZE outer = outerSize(outerWidth, outerHeight, kFrameStyle, 0, stateOf(window).dpi);
    SetWindowPos(hwnd, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Hidden windows are placed when they are shown.
    if (IsWindowVisible(hwnd)) keepInsideWorkArea(hwnd);
}

int windowDpiOf(WindowId window) {
    return stateOf(window).dpi;
}

Rect workArea(WindowId window) {
    HWND hwnd = windowHandle(window);
    const RECT area = workAreaOf(hwnd);
    const int dpi = hwnd != nullptr ? stateOf(window).dpi : systemDpi();
    const SIZE size = designOuterSize(area.right - area.left, area.bottom - area.top, kFrameStyle, 0, dpi);
    return Rect{toDesign(area.left, dpi), toDesign(area.top, dpi), static_cast<int>(size.cx),
                static_cast<int>(size.cy)};
}

void setControlRect(ControlRef control, const Rect& rect) {
    OpenWindow& state = stateOf(control.window);
    HWND hwnd = controlHandle(control);
    if (hwnd == nullptr || control.index >= static_cast<int>(state.layout.size())) return;
    ControlSpec& placed = state.layout[control.index];
    placed.left = rect.left;
    placed.top = rect.top;
    placed.width = rect.width;
    placed.height = rect.height;
    const RECT at = controlBounds(placed, state.dpi);
    SetWindowPos(hwnd, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace win32
