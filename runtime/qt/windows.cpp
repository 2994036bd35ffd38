#include "runtime/qt/windows.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMetaObject>
#include <QPointer>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "runtime/qt/audio_device.h"
#include "runtime/qt/controls.h"
#include "runtime/qt/event_loop.h"
#include "runtime/qt/fonts.h"
#include "runtime/qt/optional_libraries.h"
#include "runtime/qt/qt_text.h"
#include "ui/event_wiring.h"

namespace qtport {

namespace {

// Title bar with minimise and close boxes, no maximise box.
constexpr Qt::WindowFlags kFrameFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

class WindowFrame : public QWidget {
public:
    explicit WindowFrame(WindowId id) : QWidget(nullptr, kFrameFlags), id_(id) {}

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent*) override {
        if (painted_) return;
        painted_ = true;
        // Queued, so the loading begins once this first frame has been
        // flushed to the screen: on a one-core PC a loader thread started
        // here would compete with drawing it.
        QMetaObject::invokeMethod(
            this,
            [id = id_] {
                qtport::releaseAudioOpening();
                // Words are looked up only from the main window, first shown
                // once a bank is chosen; opening libcurl and its TLS stack
                // there keeps them out of the bank window's start.
                if (id == WindowId::Main) qtport::preloadCurlLibrary();
            },
            Qt::QueuedConnection);
    }

private:
    WindowId id_;
    bool painted_ = false;
};

struct WindowRecord {
    WindowFrame* frame = nullptr;
    std::vector<QWidget*> controls;
    QEventLoop* modalLoop = nullptr;
    bool closingByProgram = false;
    bool closed = false;
};

WindowRecord records[2];

WindowRecord& record(WindowId id) {
    return records[static_cast<int>(id)];
}

QSize clientSize(int outerWidth, int outerHeight) {
    return QSize(std::max(outerWidth - kFrameWidth, 0), std::max(outerHeight - kFrameHeight, 0));
}

QScreen* screenOf(QWidget* frame) {
    QScreen* screen = frame != nullptr ? frame->screen() : nullptr;
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

// The desktop's decorations around the client area; until the window is
// shown they are not known, and taken to be those of the designed frame.
QSize decorations(QWidget* frame) {
    if (frame == nullptr || !frame->isVisible()) return QSize(kFrameWidth, kFrameHeight);
    return frame->frameGeometry().size() - frame->geometry().size();
}

// A window crossing the area's right or bottom edge moves back as far as
// needed; one larger than the area keeps its title bar on the screen.
void keepInside(QWidget* frame) {
    QScreen* screen = screenOf(frame);
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QSize outer = frame->size() + decorations(frame);
    const QPoint at = frame->pos();
    const int left = std::max(std::min(at.x(), area.x() + area.width() - outer.width()), area.x());
    const int top = std::max(std::min(at.y(), area.y() + area.height() - outer.height()), area.y());
    if (left != at.x() || top != at.y()) frame->move(left, top);
}

void centreOnScreen(QWidget* frame) {
    QScreen* screen = screenOf(frame);
    if (screen == nullptr) return;
    QRect area = screen->availableGeometry();
    QSize outer = frame->size() + QSize(kFrameWidth, kFrameHeight);
    frame->move(area.x() + (area.width() - outer.width()) / 2,
                area.y() + (area.height() - outer.height()) / 2);
    keepInside(frame);
}

// Another screen, or a screen whose size or panels changed: the core fits
// the window again.
void followScreenChanges(WindowId id, QWidget* frame) {
    const auto refit = [id, frame] {
        if (record(id).frame != frame || record(id).closed) return;
        dispatchFromEventLoop(id, -1, EventKind::ScreenChanged);
        keepInside(frame);
    };
    if (QWindow* window = frame->windowHandle())
        QObject::connect(window, &QWindow::screenChanged, frame, refit);
    for (QScreen* screen : QGuiApplication::screens()) {
        QObject::connect(screen, &QScreen::availableGeometryChanged, frame, [frame, refit, screen] {
            if (frame->screen() == screen) refit();
        });
    }
}

void WindowFrame::closeEvent(QCloseEvent* event) {
    WindowRecord& window = record(id_);
    event->accept();
    releaseAudioOpening();  // never drawn, perhaps
    if (window.frame != this || window.closed) return;
    // A close the program asked for raises no closing query; a close from the
    // frame (close box, system menu, Alt+F4) does, and is never vetoed.
    if (!window.closingByProgram) dispatchFromEventLoop(id_, -1, EventKind::CloseRequested);
    window.closed = true;
    dispatchFromEventLoop(id_, -1, EventKind::Destroyed);
    if (window.modalLoop != nullptr) {
        window.modalLoop->quit();  // loadWindow deletes the frame once its loop has returned
    } else {
        deleteLater();
        window = WindowRecord();
    }
}

}  // namespace

bool loadWindow(WindowId id, bool modal) {
    WindowRecord& window = record(id);
    if (window.frame != nullptr) return false;
    const WindowSpec& spec = windowSpec(id);

    auto* frame = new WindowFrame(id);
    frame->setWindowTitle(toQString(spec.caption));
    frame->setFont(defaultGuiFont());
    frame->setFixedSize(clientSize(spec.outerWidth, spec.outerHeight));
    window.frame = frame;
    for (int index = 0; index < static_cast<int>(spec.controls.size()); ++index) {
        window.controls.push_back(createControl(spec.controls[index], ControlRef{id, index}, frame));
    }

    holdAudioOpening();
    dispatchEvent(id, -1, EventKind::Created);
    if (window.frame != frame || window.closed) {
        releaseAudioOpening();
        return true;
    }

    if (modal) frame->setWindowModality(Qt::ApplicationModal);
    centreOnScreen(frame);
    frame->show();
    followScreenChanges(id, frame);
    if (!modal) return true;  // drawn when the program's loop runs

    QEventLoop loop;
    window.modalLoop = &loop;
    if (!window.closed) loop.exec();
    window.modalLoop = nullptr;
    delete frame;
    window = WindowRecord();
    return true;
}

void closeWindow(WindowId id) {
    WindowFrame* frame = record(id).frame;
    if (frame == nullptr) return;
    // Takes effect once the calling handler has returned to the event loop.
    QMetaObject::invokeMethod(
        frame,
        [id, frame] {
            WindowRecord& window = record(id);
            if (window.frame != frame || window.closed) return;
            window.closingByProgram = true;
            frame->close();
        },
        Qt::QueuedConnection);
}

void discardWindow(WindowId id) {
    WindowRecord& window = record(id);
    if (window.frame == nullptr || window.modalLoop != nullptr) return;
    WindowFrame* frame = window.frame;
    window.closed = true;  // its close event finds nothing more to do
    delete frame;
    window = WindowRecord();
}

Text windowCaption(WindowId id) {
    WindowFrame* frame = record(id).frame;
    return frame == nullptr ? Text() : fromQString(frame->windowTitle());
}

void setWindowCaption(WindowId id, const Text& caption) {
    if (WindowFrame* frame = record(id).frame) frame->setWindowTitle(toQString(caption));
}

void setWindowSize(WindowId id, int outerWidth, int outerHeight) {
    WindowFrame* frame = record(id).frame;
    if (frame == nullptr) return;
    frame->setFixedSize(clientSize(outerWidth, outerHeight));
    if (frame->isVisible()) keepInside(frame);
}

Rect workArea(WindowId id) {
    QWidget* frame = record(id).frame;
    QScreen* screen = screenOf(frame);
    if (screen == nullptr) return Rect{0, 0, 1 << 20, 1 << 20};
    const QRect area = screen->availableGeometry();
    const QSize room = area.size() - decorations(frame) + QSize(kFrameWidth, kFrameHeight);
    return Rect{area.x(), area.y(), room.width(), room.height()};
}

QWidget* windowFrame(WindowId id) {
    return record(id).frame;
}

QWidget* controlWidget(ControlRef control) {
    WindowRecord& window = record(control.window);
    if (control.index < 0 || control.index >= static_cast<int>(window.controls.size())) return nullptr;
    return window.controls[control.index];
}

const ControlSpec* controlSpec(ControlRef control) {
    if (record(control.window).frame == nullptr) return nullptr;
    const WindowSpec& spec = windowSpec(control.window);
    if (control.index < 0 || control.index >= static_cast<int>(spec.controls.size())) return nullptr;
    return &spec.controls[control.index];
}

}  // namespace qtport
