// Runs the Windows HTTP client once per hostile behaviour and prints what
// came back, how long it took and how much memory the process took at its
// peak; then shows that the thread still handles window messages and that
// an ordinary request works. The test script judges the lines.
//
//   vorbelzoz_http_probe.exe PORT DEADLINE_MS KIND...
#include <windows.h>
// Needs windows.h first.
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/win32/http.h"

namespace {

HttpResponse get(int port, const std::string& kind, int deadlineMs) {
    HttpRequest request;
    request.host = "127.0.0.1";
    request.port = port;
    request.object = "/" + kind;
    request.userAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
    request.headers = "Accept: */*\r\n\r\n";
    request.timeoutMs = deadlineMs;
    request.maxBodyBytes = 8 * 1024 * 1024;
    return win32::httpGet(request);
}

unsigned long long peakMemory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakWorkingSetSize;
}

// A message posted to a window of this thread arrives at its next pumping.
bool handlesMessages() {
    static bool arrived = false;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_APP) arrived = true;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    };
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"HttpProbe";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"HttpProbe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    PostMessageW(window, WM_APP, 0, 0);
    const ULONGLONG end = GetTickCount64() + 1000;
    MSG message;
    while (!arrived && GetTickCount64() < end) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
    DestroyWindow(window);
    return arrived;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PORT DEADLINE_MS KIND...\n", argv[0]);
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const int deadlineMs = std::atoi(argv[2]);
    const unsigned long long memoryBefore = peakMemory();
    for (int k = 3; k < argc; ++k) {
        const ULONGLONG start = GetTickCount64();
        const HttpResponse response = get(port, argv[k], deadlineMs);
        const ULONGLONG took = GetTickCount64() - start;
        std::printf(
            "{\"kind\": \"%s\", \"completed\": %s, \"status\": %d, \"bytes\": %zu, \"passwd\": %s, "
            "\"ms\": %llu}\n",
            argv[k], response.completed ? "true" : "false", response.status, response.body.size(),
            response.body.find("root:") != std::string::npos ? "true" : "false", took);
        std::fflush(stdout);
    }
    const HttpResponse fine = get(port, "ok", deadlineMs);
    std::printf(
        "{\"memory_growth\": %llu, \"messages_handled\": %s, \"ok_status\": %d, \"ok_body\": \"%s\"}\n",
        peakMemory() - memoryBefore, handlesMessages() ? "true" : "false", fine.status,
        fine.body.size() <= 16 ? fine.body.c_str() : "(long)");
    return 0;
}
