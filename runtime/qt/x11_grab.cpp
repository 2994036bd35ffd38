#include "runtime/qt/x11_grab.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <vector>

// After Qt: Xlib's macros (Bool, Status, KeyPress, ...) clash with Qt's names.
// clang-format off
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>
// clang-format on

namespace qtport {

namespace {

struct Grab {
    int id = 0;
    std::uint16_t modifiers = 0;
    xcb_keycode_t keycode = 0;
    void (*pressed)(int) = nullptr;
};

std::vector<Grab> grabs;

constexpr std::uint16_t kLockVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                           XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};  // Caps Lock, Num Lock
constexpr std::uint16_t kModifierMask = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_1;

std::uint16_t x11Modifiers(int modifiers) {
    std::uint16_t mask = 0;
    if (modifiers & 1) mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & 2) mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & 4) mask |= XCB_MOD_MASK_1;
    return mask;
}

KeySym keysymOf(int virtualKey) {
    if (virtualKey >= 0x70 && virtualKey <= 0x87) return XK_F1 + (virtualKey - 0x70);
    if (virtualKey >= 'A' && virtualKey <= 'Z') return XK_a + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9') return XK_0 + (virtualKey - '0');
    return NoSymbol;
}

QNativeInterface::QX11Application* x11Application() {
    if (qGuiApp == nullptr) return nullptr;
    auto* native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (native == nullptr || native->display() == nullptr || native->connection() == nullptr) return nullptr;
    return native;
}

class RootKeyFilter : public QAbstractNativeEventFilter {
public:
    explicit RootKeyFilter(xcb_window_t root) : root_(root) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") return false;
        auto* event = static_cast<xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_KEY_PRESS) return false;
        auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
        if (press->event != root_) return false;
        for (const Grab& grab : grabs) {
            if (grab.keycode == press->detail && grab.modifiers == (press->state & kModifierMask)) {
                // Served from the event queue, outside the native event handling.
                int id = grab.id;
                void (*pressed)(int) = grab.pressed;
                QMetaObject::invokeMethod(
                    qApp, [id, pressed] { pressed(id); }, Qt::QueuedConnection);
                return true;
            }
        }
        return false;
    }

private:
    xcb_window_t root_;
};

}  // namespace

bool x11Available() {
    return x11Application() != nullptr;
}

bool grabKeyOnX11(int id, int modifiers, int virtualKey, void (*pressed)(int id)) {
    static RootKeyFilter* filter = nullptr;
    QNativeInterface::QX11Application* x11 = x11Application();
    if (x11 == nullptr || pressed == nullptr) return false;
    KeySym keysym = keysymOf(virtualKey);
    if (keysym == NoSymbol) return false;
    xcb_keycode_t keycode = XKeysymToKeycode(x11->display(), keysym);
    if (keycode == 0) return false;
    xcb_connection_t* connection = x11->connection();
    auto root = static_cast<xcb_window_t>(DefaultRootWindow(x11->display()));

    std::uint16_t mask = x11Modifiers(modifiers);
    for (std::uint16_t locks : kLockVariants) {
        // Not owner events: every press is reported on the root window.
        xcb_void_cookie_t cookie = xcb_grab_key_checked(connection, 0, root, mask | locks, keycode,
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t* error = xcb_request_check(connection, cookie);
        if (error == nullptr) continue;
        std::free(error);
        // The plain key held elsewhere refuses the registration; a lock-key
        // variant held elsewhere only loses that variant.
        if (locks == 0) return false;
    }
    if (filter == nullptr) {
        filter = new RootKeyFilter(root);
        QCoreApplication::instance()->installNativeEventFilter(filter);
    }
    grabs.push_back(Grab{id, mask, keycode, pressed});
    return true;
}

}  // namespace qtport
