#include "runtime/win32/dialogs.h"

#include <windows.h>

#include <string>

#include "runtime/win32/wide_text.h"

namespace win32 {

namespace {

int programResult(int pressed) {
    switch (pressed) {
        case IDOK:
            return 0;
        case IDCANCEL:
            return 1;
        case IDABORT:
            return 2;
        case IDRETRY:
            return 3;
        case IDIGNORE:
            return 4;
        case IDYES:
            return 5;
        case IDNO:
            return 6;
        default:
            return 1;  // any other way out counts as cancelling
    }
}

// The system's own Notepad, by its full path, so that no program of that
// name in the current folder or on the search path is started instead.
std::wstring notepadPath() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return std::wstring(folder, length) + L"\\notepad.exe";
}

bool startProcess(const wchar_t* program, std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    WaitForInputIdle(process.hProcess, 1000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

int messageBox(const Text& message, int flags, const Text& caption) {
    UINT style = static_cast<UINT>(flags);
    if ((style & MB_SYSTEMMODAL) == 0) style |= MB_TASKMODAL;
    return programResult(MessageBoxW(nullptr, toWide(message).c_str(), toWide(caption).c_str(), style));
}

bool runCommandLine(const Text& commandLine) {
    std::wstring command = toWide(commandLine);
    if (command.empty()) return false;
    return startProcess(nullptr, command);
}

bool openTextFile(const Text& path) {
    const std::wstring file = toWide(path);
    const std::wstring notepad = notepadPath();
    // A file name cannot hold a quote, so quoting keeps the whole path one
    // argument, blanks and "&" included; no shell ever reads this line.
    if (file.empty() || notepad.empty() || file.find(L'"') != std::wstring::npos) return false;
    return startProcess(notepad.c_str(), L"\"" + notepad + L"\" \"" + file + L"\"");
}

}  // namespace win32
