#include "runtime/qt/control_events.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeView>

#include "runtime/qt/event_loop.h"
#include "ui/event_wiring.h"

namespace qtport {

namespace {

// Modifier state as the key handlers receive it: 1 Ctrl, 2 Shift, 4 Alt.
int modifierState(Qt::KeyboardModifiers modifiers) {
    int state = 0;
    if (modifiers & Qt::ControlModifier) state |= 1;
    if (modifiers & Qt::ShiftModifier) state |= 2;
    if (modifiers & Qt::AltModifier) state |= 4;
    return state;
}

class KeyDownFilter : public QObject {
public:
    KeyDownFilter(ControlRef ref, QObject* parent) : QObject(parent), ref_(ref) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        int virtualKey = virtualKeyOf(key->key());
        if (virtualKey == 0) return false;
        EventArgs args{virtualKey, modifierState(key->modifiers())};
        // A non-zero result consumes the key, so the box never sees it.
        return dispatchFromEventLoop(ref_.window, ref_.index, EventKind::KeyDown, args) != 0;
    }

private:
    ControlRef ref_;
};

// A left click anywhere in the list is reported when the button goes up,
// after the selection has followed it. The second click of a double-click
// is reported as the double-click only.
class ListMouseFilter : public QObject {
public:
    ListMouseFilter(ControlRef ref, QObject* parent) : QObject(parent), ref_(ref) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            inDoubleClick_ = false;  // a new click begins
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                inDoubleClick_ = true;
                QPoint at = mouse->position().toPoint();
                dispatchFromEventLoop(ref_.window, ref_.index, EventKind::DoubleClick,
                                      EventArgs{at.x(), at.y()});
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                if (inDoubleClick_) {
                    inDoubleClick_ = false;
                } else {
                    dispatchFromEventLoop(ref_.window, ref_.index, EventKind::Click);
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    ControlRef ref_;
    bool inDoubleClick_ = false;
};

}  // namespace

int virtualKeyOf(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 0x70 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 9;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Space:
            return 32;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
            return 18;
        default:
            return 0;
    }
}

void wireControlEvents(QWidget* widget, const ControlSpec& spec, ControlRef ref) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        // clicked is raised by the learner's click or key, never by the program.
        QObject::connect(button, &QAbstractButton::clicked, button,
                         [ref] { dispatchFromEventLoop(ref.window, ref.index, EventKind::Click); });
    }
    if (auto* tree = qobject_cast<QTreeView*>(widget)) {
        tree->viewport()->installEventFilter(new ListMouseFilter(ref, tree));
    }
    if (spec.kind != ControlKind::ListView && hasBinding(ref.window, ref.index, EventKind::KeyDown)) {
        widget->installEventFilter(new KeyDownFilter(ref, widget));
    }
}

}  // namespace qtport
