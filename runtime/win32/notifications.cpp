#include "runtime/win32/notifications.h"

#include <cstdint>

#include "runtime/win32/native_windows.h"
#include "ui/event_wiring.h"

namespace win32 {

static_assert(sizeof(LPARAM) >= 8, "both integers of a notification travel in lParam");

int notifyLabel(ControlRef label, int first, int second, bool synchronous) {
    if (synchronous)
        return dispatchEvent(label.window, label.index, EventKind::Notify, EventArgs{first, second});
    HWND window = windowHandle(label.window);
    if (window != nullptr) {
        const auto packed = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(second)) << 32) |
                            static_cast<std::uint32_t>(first);
        PostMessageW(window, kMsgNotify, static_cast<WPARAM>(label.index), static_cast<LPARAM>(packed));
    }
    return 0;
}

void onPostedNotification(WindowId window, WPARAM wParam, LPARAM lParam) {
    const auto packed = static_cast<std::uint64_t>(lParam);
    const auto first = static_cast<int>(static_cast<std::uint32_t>(packed));
    const auto second = static_cast<int>(static_cast<std::uint32_t>(packed >> 32));
    dispatchEvent(window, static_cast<int>(wParam), EventKind::Notify, EventArgs{first, second});
}

}  // namespace win32
