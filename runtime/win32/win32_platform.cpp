#include "runtime/win32/win32_platform.h"

#include <windows.h>

#include "runtime/services.h"
#include "runtime/win32/bundled_service.h"
#include "runtime/win32/controls.h"
#include "runtime/win32/dialogs.h"
#include "runtime/win32/hotkeys.h"
#include "runtime/win32/html_view.h"
#include "runtime/win32/http.h"
#include "runtime/win32/media.h"
#include "runtime/win32/message_loop.h"
#include "runtime/win32/native_windows.h"
#include "runtime/win32/notifications.h"
#include "runtime/win32/page_window.h"
#include "runtime/win32/rich_text.h"
#include "runtime/win32/row_marks.h"
#include "runtime/win32/sound.h"

namespace {

HWND controlOfKind(ControlRef control, ControlKind kind) {
    const ControlSpec* spec = win32::controlSpecOf(control);
    return spec != nullptr && spec->kind == kind ? win32::controlHandle(control) : nullptr;
}

}  // namespace

std::int64_t Win32Platform::tickCount() {
    return static_cast<std::int64_t>(GetTickCount64());
}

DateTime Win32Platform::localTime() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return DateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::int64_t Win32Platform::utcMilliseconds() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    // 100-ns ticks since 1601-01-01; 11644473600 s lie between 1601 and 1970.
    return static_cast<std::int64_t>(ticks.QuadPart / 10000) - 11644473600000LL;
}

bool Win32Platform::loadWindow(WindowId window, bool modal) {
    return win32::loadWindow(window, modal);
}
void Win32Platform::closeWindow(WindowId window) {
    win32::closeWindow(window);
}
Text Win32Platform::windowCaption(WindowId window) {
    return win32::windowCaption(window);
}
void Win32Platform::setWindowCaption(WindowId window, const Text& caption) {
    win32::setWindowCaption(window, caption);
}
void Win32Platform::setWindowSize(WindowId window, int outerWidth, int outerHeight) {
    win32::setWindowSize(window, outerWidth, outerHeight);
}
int Win32Platform::runMessageLoop() {
    return win32::runMessageLoop();
}

void Win32Platform::endProgram(int exitCode) {
    runCleanup();
    win32::stopAllSounds();
    ExitProcess(static_cast<UINT>(exitCode));
}

Text Win32Platform::controlText(ControlRef control) {
    return win32::controlText(control);
}
void Win32Platform::setControlText(ControlRef control, const Text& text) {
    win32::setControlText(control, text);
}
bool Win32Platform::isChecked(ControlRef control) {
    return win32::isChecked(control);
}
void Win32Platform::setVisible(ControlRef control, bool visible) {
    win32::setVisible(control, visible);
}
void Win32Platform::setEnabled(ControlRef control, bool enabled) {
    win32::setEnabled(control, enabled);
}
Rect Win32Platform::controlRect(ControlRef control) {
    return win32::controlRect(control);
}
void Win32Platform::setControlRect(ControlRef control, const Rect& rect) {
    win32::setControlRect(control, rect);
}
Rect Win32Platform::workArea(WindowId window) {
    return win32::workArea(window);
}

int Win32Platform::insertColumn(ControlRef list, const Text& title, int width) {
    return win32::insertColumn(list, title, width);
}
void Win32Platform::setColumnWidth(ControlRef list, int column, int width) {
    win32::setColumnWidth(list, column, width);
}
int Win32Platform::insertRow(ControlRef list, const Text& text) {
    return win32::insertRow(list, text);
}
Text Win32Platform::cellText(ControlRef list, int row, int column) {
    return win32::cellText(list, row, column);
}
void Win32Platform::deleteRow(ControlRef list, int row) {
    win32::deleteRow(list, row);
}
int Win32Platform::selectedRow(ControlRef list) {
    return win32::selectedRow(list);
}
void Win32Platform::setRowMark(ControlRef list, int row, RowMark mark, const Text& tooltip) {
    win32::setRowMark(list, row, mark, tooltip);
}
void Win32Platform::showRow(ControlRef list, int row) {
    win32::showRow(list, row);
}

void Win32Platform::setProgress(ControlRef bar, int position) {
    win32::setProgress(bar, position);
}

void Win32Platform::processEvents() {
    win32::processEvents();
}
void Win32Platform::waitForEvents(int maxMilliseconds) {
    win32::waitForEvents(maxMilliseconds);
}

int Win32Platform::notifyLabel(ControlRef label, int first, int second, bool synchronous) {
    return win32::notifyLabel(label, first, second, synchronous);
}
int Win32Platform::registerHotkey(WindowId owner, ControlRef label, int modifiers, int virtualKey) {
    return win32::registerHotkey(owner, label, modifiers, virtualKey);
}

int Win32Platform::messageBox(const Text& message, int flags, const Text& caption) {
    return win32::messageBox(message, flags, caption);
}
bool Win32Platform::runCommandLine(const Text& commandLine) {
    return win32::runCommandLine(commandLine);
}
bool Win32Platform::openTextFile(const Text& path) {
    return win32::openTextFile(path);
}

void Win32Platform::setRichTextDefaultFormat(ControlRef box, const CharFormat& format) {
    HWND hwnd = controlOfKind(box, ControlKind::RichTextBox);
    if (hwnd != nullptr) win32::setRichTextDefaultFormat(hwnd, format, win32::windowDpiOf(box.window));
}
void Win32Platform::insertRichTextUnicode(ControlRef box, const std::u16string& text) {
    HWND hwnd = controlOfKind(box, ControlKind::RichTextBox);
    if (hwnd != nullptr) win32::insertRichTextUnicode(hwnd, text);
}

void Win32Platform::navigateHtml(ControlRef view, const Text& address) {
    HWND hwnd = controlOfKind(view, ControlKind::HtmlView);
    if (hwnd != nullptr) win32::navigateHtml(hwnd, address);
}
bool Win32Platform::setHtmlBody(ControlRef view, const Text& html) {
    HWND hwnd = controlOfKind(view, ControlKind::HtmlView);
    return hwnd != nullptr && win32::setHtmlBody(hwnd, html, win32::windowDpiOf(view.window));
}

HttpResponse Win32Platform::httpGet(const HttpRequest& request) {
    return win32::httpGet(request);
}
int Win32Platform::sendMediaCommand(const Text& command) {
    return win32::sendMediaCommand(command);
}
bool Win32Platform::startSound(const WavSound& sound, bool loop) {
    return win32::startSound(sound, loop);
}
void Win32Platform::stopAllSounds() {
    win32::stopAllSounds();
}

void Win32Platform::startBundledService(int port) {
    win32::startBundledService(port);
}

void Win32Platform::showPageWindow(const ShapePage& page, double scale) {
    win32::showPageWindow(page, scale);
}

Bytes Win32Platform::pagePicture(const ShapePage& page) {
    return win32::pagePicture(page);
}
