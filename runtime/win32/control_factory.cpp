#include "runtime/win32/control_factory.h"

#include <commctrl.h>

#include "runtime/win32/dpi_scaling.h"
#include "runtime/win32/html_view.h"
#include "runtime/win32/key_events.h"
#include "runtime/win32/native_windows.h"
#include "runtime/win32/rich_text.h"
#include "runtime/win32/wide_text.h"
#include "ui/event_wiring.h"

namespace win32 {

namespace {

DWORD borderStyle(const ControlSpec& spec) {
    return spec.border == Border::Single ? WS_BORDER : 0;
}

DWORD borderExStyle(const ControlSpec& spec) {
    return spec.border == Border::Sunken ? WS_EX_CLIENTEDGE : 0;
}

DWORD commonStyle(const ControlSpec& spec) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | borderStyle(spec);
    if (spec.visible) style |= WS_VISIBLE;
    if (!spec.enabled) style |= WS_DISABLED;
    if (spec.focusable) style |= WS_TABSTOP;
    return style;
}

DWORD labelStyle(const ControlSpec& spec) {
    DWORD style = SS_NOPREFIX;
    if (spec.align == Align::Center) return style | SS_CENTER;  // centred text always wraps
    return style | (spec.multiLine ? SS_LEFT : SS_LEFTNOWORDWRAP);
}

DWORD editStyle(const ControlSpec& spec) {
    DWORD style = spec.align == Align::Center ? ES_CENTER : ES_LEFT;
    if (spec.multiLine) {
        // Auto-scrolling even without a scroll bar, or a full box would
        // refuse further text.
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
        if (spec.verticalScrollBar) style |= WS_VSCROLL;
    } else {
        style |= ES_AUTOHSCROLL;
    }
    return style;
}

HWND create(const wchar_t* className, const ControlSpec& spec, const RECT& at, DWORD style, DWORD exStyle,
            HWND parent, int id) {
    return CreateWindowExW(exStyle, className, toWide(spec.caption).c_str(), style, at.left, at.top,
                           at.right - at.left, at.bottom - at.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                           nullptr);
}

HWND createByKind(HWND parent, const ControlSpec& spec, const RECT& at, int id) {
    const DWORD style = commonStyle(spec);
    const DWORD exStyle = borderExStyle(spec);
    switch (spec.kind) {
        case ControlKind::Label:
            return create(L"STATIC", spec, at, (style & ~WS_TABSTOP) | labelStyle(spec), exStyle, parent, id);
        case ControlKind::CheckBox:
            return create(L"BUTTON", spec, at, style | BS_AUTOCHECKBOX, exStyle, parent, id);
        case ControlKind::PushButton:
            return create(L"BUTTON", spec, at, style | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER, exStyle,
                          parent, id);
        case ControlKind::EditBox: {
            HWND edit = create(L"EDIT", spec, at, style | editStyle(spec), exStyle, parent, id);
            if (edit != nullptr) SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // 0: as long as memory allows
            return edit;
        }
        case ControlKind::RichTextBox:
            return createRichTextBox(parent, style | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, exStyle,
                                     at.left, at.top, at.right - at.left, at.bottom - at.top, id);
        case ControlKind::HtmlView:
            return createHtmlView(parent, style & ~WS_TABSTOP, exStyle, at.left, at.top, at.right - at.left,
                                  at.bottom - at.top, id);
        case ControlKind::ListView: {
            HWND list = create(
                WC_LISTVIEWW, spec, at,
                style | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                exStyle, parent, id);
            if (list != nullptr) {
                SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
            }
            return list;
        }
        case ControlKind::ProgressBar: {
            HWND bar = create(PROGRESS_CLASSW, spec, at, style & ~WS_TABSTOP, exStyle, parent, id);
            if (bar != nullptr) SendMessageW(bar, PBM_SETRANGE32, 0, spec.rangeMax);
            return bar;
        }
    }
    return nullptr;
}

}  // namespace

HWND createControl(HWND parent, WindowId window, int index, const ControlSpec& spec, int dpi) {
    HWND control = createByKind(parent, spec, controlBounds(spec, dpi), kFirstControlId + index);
    if (control == nullptr) return nullptr;
    if (spec.kind == ControlKind::CheckBox && spec.checked)
        SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
    if (spec.kind == ControlKind::EditBox && hasBinding(window, index, EventKind::KeyDown)) {
        reportKeyPresses(control, ControlRef{window, index});
    }
    return control;
}

}  // namespace win32
