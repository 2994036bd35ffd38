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

}  // namespace

int messageBox(const Text& message, int flags, const Text& caption) {
    UINT style = static_cast<UINT>(flags);
    if ((style & MB_SYSTEMMODAL) == 0) style |= MB_TASKMODAL;
    return programResult(MessageBoxW(nullptr, toWide(message).c_str(), toWide(caption).c_str(), style));
}

bool runCommandLine(const Text& commandLine) {
    std::wstring command = toWide(commandLine);
    if (command.empty()) return false;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    WaitForInputIdle(process.hProcess, 1000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace win32
