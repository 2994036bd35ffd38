#include "runtime/qt/hotkeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <vector>

#include "runtime/qt/control_events.h"
#include "runtime/qt/event_loop.h"
#include "runtime/qt/x11_grab.h"
#include "ui/event_wiring.h"

namespace qtport {

namespace {

struct Hotkey {
    int id = 0;
    int modifiers = 0;  // 1 Ctrl, 2 Shift, 4 Alt
    int virtualKey = 0;
};

std::vector<Hotkey> focusHotkeys;
ControlRef notifiedLabel{WindowId::Main, -1};
int nextId = 33001;

// A press reaches the label of the latest registration.
void deliver(int id) {
    if (notifiedLabel.index < 0) return;
    dispatchFromEventLoop(notifiedLabel.window, notifiedLabel.index, EventKind::Notify, EventArgs{id, 0});
}

// Without X11: the keys while a window of this program has the focus, taken
// at the first receiver so that each press is delivered once.
class FocusHotkeyFilter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        int virtualKey = virtualKeyOf(key->key());
        int modifiers = 0;
        if (key->modifiers() & Qt::ControlModifier) modifiers |= 1;
        if (key->modifiers() & Qt::ShiftModifier) modifiers |= 2;
        if (key->modifiers() & Qt::AltModifier) modifiers |= 4;
        for (const Hotkey& hotkey : focusHotkeys) {
            if (hotkey.virtualKey != virtualKey || hotkey.modifiers != modifiers) continue;
            int id = hotkey.id;
            QMetaObject::invokeMethod(
                qApp, [id] { deliver(id); }, Qt::QueuedConnection);
            return true;
        }
        return false;
    }
};

bool catchWhileFocused(const Hotkey& hotkey) {
    static FocusHotkeyFilter* filter = nullptr;
    if (QCoreApplication::instance() == nullptr) return false;
    if (filter == nullptr) {
        filter = new FocusHotkeyFilter();
        QCoreApplication::instance()->installEventFilter(filter);
    }
    focusHotkeys.push_back(hotkey);
    return true;
}

}  // namespace

int registerHotkey(ControlRef label, int modifiers, int virtualKey) {
    if (virtualKey <= 0 || modifiers < 0 || modifiers > 7) return 0;
    Hotkey hotkey{nextId, modifiers, virtualKey};
    bool registered =
        x11Available() ? grabKeyOnX11(hotkey.id, modifiers, virtualKey, deliver) : catchWhileFocused(hotkey);
    if (!registered) return 0;  // the id of a refused key is not used up
    ++nextId;
    notifiedLabel = label;
    return hotkey.id;
}

}  // namespace qtport
