#include "runtime/win32/list_fill.h"

namespace win32 {

namespace {

const wchar_t kHeldProperty[] = L"VorbelzozRedrawHeld";
constexpr UINT_PTR kResumeTimer = 0x5652;

void CALLBACK resumeOnTimer(HWND list, UINT, UINT_PTR, DWORD) {
    resumeRedraw(list);
}

}  // namespace

void holdRedrawWhileHidden(HWND list) {
    if (list == nullptr || IsWindowVisible(list) || GetPropW(list, kHeldProperty) != nullptr) return;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SetPropW(list, kHeldProperty, reinterpret_cast<HANDLE>(1));
    // A zero-delay timer fires from the message loop, after the code that
    // fills the list has returned.
    SetTimer(list, kResumeTimer, 0, resumeOnTimer);
}

void resumeRedraw(HWND list) {
    if (list == nullptr || GetPropW(list, kHeldProperty) == nullptr) return;
    RemovePropW(list, kHeldProperty);
    KillTimer(list, kResumeTimer);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

}  // namespace win32
