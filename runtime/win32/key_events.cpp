#include "runtime/win32/key_events.h"

#include "ui/event_wiring.h"

namespace win32 {

namespace {

const wchar_t kOriginalProc[] = L"Vorbelzoz.OriginalProc";
const wchar_t kWindowProp[] = L"Vorbelzoz.Window";
const wchar_t kIndexProp[] = L"Vorbelzoz.Index";

ControlRef controlOf(HWND edit) {
    auto window = static_cast<WindowId>(reinterpret_cast<INT_PTR>(GetPropW(edit, kWindowProp)));
    auto index = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(edit, kIndexProp)));
    return ControlRef{window, index};
}

int dispatchKey(HWND edit, int keyCode) {
    ControlRef control = controlOf(edit);
    return dispatchEvent(control.window, control.index, EventKind::KeyDown,
                         EventArgs{keyCode, modifierState()});
}

bool isEnterCharacter(WPARAM character) {
    return character == L'\r' || character == L'\n';
}

LRESULT handleKeyMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    auto original = reinterpret_cast<WNDPROC>(GetPropW(edit, kOriginalProc));
    switch (message) {
        case WM_KEYDOWN: {
            // The message loop has already queued the character this key
            // types; take it out first, so that it can be dropped together
            // with a consumed key even when the handler runs nested waits.
            MSG typed;
            bool hasTyped = PeekMessageW(&typed, edit, WM_CHAR, WM_CHAR, PM_REMOVE) != 0;
            if (dispatchKey(edit, static_cast<int>(wParam)) != 0) return 0;
            if (!IsWindow(edit)) return 0;
            LRESULT result = CallWindowProcW(original, edit, message, wParam, lParam);
            if (hasTyped) CallWindowProcW(original, edit, WM_CHAR, typed.wParam, typed.lParam);
            return result;
        }
        case WM_CHAR:
            // A line break typed without its key press (sent by another
            // program or an input method) counts as Enter as well.
            if (isEnterCharacter(wParam) && dispatchKey(edit, VK_RETURN) != 0) return 0;
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            RemovePropW(edit, kOriginalProc);
            RemovePropW(edit, kWindowProp);
            RemovePropW(edit, kIndexProp);
            break;
        default:
            break;
    }
    return CallWindowProcW(original, edit, message, wParam, lParam);
}

// Nothing a handler throws unwinds into the system's message dispatch.
LRESULT CALLBACK keyReportingProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return handleKeyMessage(edit, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

}  // namespace

int modifierState() {
    int state = 0;
    if (GetKeyState(VK_CONTROL) < 0) state |= 1;
    if (GetKeyState(VK_SHIFT) < 0) state |= 2;
    if (GetKeyState(VK_MENU) < 0) state |= 4;
    return state;
}

void reportKeyPresses(HWND edit, ControlRef control) {
    SetPropW(edit, kWindowProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(control.window)));
    SetPropW(edit, kIndexProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(control.index)));
    LONG_PTR original = SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(keyReportingProc));
    SetPropW(edit, kOriginalProc, reinterpret_cast<HANDLE>(original));
}

}  // namespace win32
