#include "runtime/qt/event_loop.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include "runtime/qt/windows.h"
#include "ui/event_wiring.h"

namespace qtport {

void processEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void waitForEvents(int maxMilliseconds) {
    if (maxMilliseconds <= 0) {
        processEvents();
        return;
    }
    // The timer is an event of its own, so the blocking wait below ends at the
    // latest when it fires.
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(maxMilliseconds);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

int runMessageLoop() {
    return QApplication::exec();
}

int dispatchFromEventLoop(WindowId window, int control, EventKind event, const EventArgs& args) {
    try {
        return dispatchEvent(window, control, event, args);
    } catch (...) {
        return 0;
    }
}

int notifyLabel(ControlRef label, int first, int second, bool synchronous) {
    if (synchronous)
        return dispatchEvent(label.window, label.index, EventKind::Notify, EventArgs{first, second});
    QWidget* target = controlWidget(label);
    if (target == nullptr) return 0;
    // Dropped with the label if its window is gone before the queue is served.
    QMetaObject::invokeMethod(
        target,
        [label, first, second] {
            dispatchFromEventLoop(label.window, label.index, EventKind::Notify, EventArgs{first, second});
        },
        Qt::QueuedConnection);
    return 0;
}

}  // namespace qtport
