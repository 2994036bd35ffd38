#include "runtime/win32/dialogs.h"

#include <windows.h>
// Needs windows.h first.
#include <shellapi.h>

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

// A command line that is the path of a document (the quiz report) rather
// than of a program opens the document with the program the system
// associates with it, as a double-click would; CreateProcess refuses it.
bool isDocument(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    DWORD binaryType = 0;
    return !GetBinaryTypeW(path.c_str(), &binaryType);
}

bool openDocument(const std::wstring& path) {
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
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
    if (isDocument(command)) return openDocument(command);
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
