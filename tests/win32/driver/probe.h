// Finding and operating the program's windows from outside, the way a
// learner would: texts, clicks, keys, message boxes, screenshots.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

bool waitUntil(const std::function<bool()>& condition, int timeoutMs, int pollMs = 50);

HWND findProgramWindow(DWORD processId, const std::wstring& captionPrefix);  // visible, class VorbelzozWindow
HWND findWindowShowing(const std::wstring& captionPart);                     // any process, visible
HWND controlOf(HWND window, int index);  // the control at this table position
std::wstring textOf(HWND hwnd);
bool setText(HWND hwnd, const std::wstring& text);
void click(HWND button);  // posted, so a handler that waits does not block the driver
void pressEnter(HWND edit);
void pressKey(WORD virtualKey);  // system-wide input, for hotkeys
void clickAt(HWND hwnd, POINT client);
void doubleClickAt(HWND hwnd, POINT client);

HWND findMessageBox(DWORD processId);
std::wstring messageBoxText(HWND box);
void pressMessageBoxButton(HWND box, int id);

// Screen contents belong to the X server Wine draws on, so the test script
// takes the picture: the driver prints "shot NAME LEFT TOP WIDTH HEIGHT"
// and waits for "ok" on its input.
bool requestScreenshot(HWND window, const std::string& name);
