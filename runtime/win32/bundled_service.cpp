#include "runtime/win32/bundled_service.h"

#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>
#include <vector>

namespace win32 {

namespace {

const wchar_t kServiceExecutable[] = L"vorbelzoz_service.exe";

// Whether something accepts a connection on 127.0.0.1:port. Windows
// retries a refused connection for about a second, so the answer is awaited
// only briefly: a live local server accepts at once.
bool somethingAnswers(int port) {
    constexpr long kWaitMicroseconds = 300 * 1000;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
    bool answers = false;
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s != INVALID_SOCKET) {
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            answers = true;
        } else if (WSAGetLastError() == WSAEWOULDBLOCK) {
            fd_set writable, failed;
            FD_ZERO(&writable);
            FD_ZERO(&failed);
            FD_SET(s, &writable);
            FD_SET(s, &failed);
            timeval wait{0, kWaitMicroseconds};
            answers = select(0, nullptr, &writable, &failed, &wait) > 0 && FD_ISSET(s, &writable) &&
                      !FD_ISSET(s, &failed);
        }
        closesocket(s);
    }
    WSACleanup();
    return answers;
}

std::wstring executableFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    while (true) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            std::wstring full(path.data(), n);
            return full.substr(0, full.find_last_of(L'\\'));
        }
        if (path.size() >= 32768) return std::wstring();
        path.resize(path.size() * 2);
    }
}

// A job whose last handle, closed by the system when the program ends,
// ends every process in it. The handle is kept open on purpose.
HANDLE killOnCloseJob() {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

}  // namespace

void startBundledService(int port) {
    if (somethingAnswers(port)) return;
    const std::wstring folder = executableFolder();
    if (folder.empty()) return;
    const std::wstring executable = folder + L"\\" + kServiceExecutable;
    if (GetFileAttributesW(executable.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    // Without the job the service could outlive the program: better not to
    // start it at all.
    HANDLE job = killOnCloseJob();
    if (job == nullptr) return;

    std::wstring commandLine = L"\"" + executable + L"\" --port " + std::to_wstring(port);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Suspended until it is in the job, so not even a first instant runs
    // outside it.
    if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, folder.c_str(), &startup, &process)) {
        CloseHandle(job);
        return;
    }
    if (AssignProcessToJobObject(job, process.hProcess)) {
        ResumeThread(process.hThread);
    } else {
        TerminateProcess(process.hProcess, 1);
        CloseHandle(job);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace win32
