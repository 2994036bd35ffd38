#include "runtime/win32/list_fill.h"

#include <commctrl.h>

#include <set>

namespace win32 {

namespace {

constexpr UINT_PTR kResumeTimer = 0x5652;
constexpr UINT_PTR kSubclassId = 0x5652;

// The lists whose redrawing is held. Asked before anything else for every
// row, in the program's own memory: under Wine each question to the system
// (a window's property, its visibility) costs tens of microseconds.
std::set<HWND> heldLists;

void CALLBACK resumeOnTimer(HWND list, UINT, UINT_PTR, DWORD) {
    resumeRedraw(list);
}

LRESULT CALLBACK forgetOnDestroy(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        heldLists.erase(list);
        RemoveWindowSubclass(list, forgetOnDestroy, id);
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

void holdRedrawWhileHidden(HWND list) {
    if (list == nullptr || heldLists.count(list) != 0 || IsWindowVisible(list)) return;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    heldLists.insert(list);
    SetWindowSubclass(list, forgetOnDestroy, kSubclassId, 0);
    // A zero-delay timer fires from the message loop, after the code that
    // fills the list has returned.
    SetTimer(list, kResumeTimer, 0, resumeOnTimer);
}

void resumeRedraw(HWND list) {
    if (heldLists.erase(list) == 0) return;
    KillTimer(list, kResumeTimer);
    RemoveWindowSubclass(list, forgetOnDestroy, kSubclassId);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

}  // namespace win32
