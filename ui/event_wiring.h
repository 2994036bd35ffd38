// Event wiring as data: which handler serves which event of which control.
// Backends report raw events through dispatchEvent; the tables decide.
#pragma once

#include <span>

#include "ui/layout.h"

enum class EventKind {
    Created,         // window: runs inside window creation, before input
    CloseRequested,  // window: close box, system menu, Alt+F4
    Destroyed,       // window: about to be destroyed
    ScreenChanged,   // window: another monitor, DPI, resolution or work area
    Click,
    DoubleClick,
    KeyDown,  // a = key code; handler returns 1 to consume the key
    Notify,   // label notification with (a, b); returns the handler's result
};

struct EventArgs {
    int a = 0;
    int b = 0;
};

using EventHandler = int (*)(const EventArgs&);

struct EventBinding {
    WindowId window;
    int control;  // control index, or -1 for the window itself
    EventKind event;
    EventHandler handler;
};

std::span<const EventBinding> eventBindings();

// Returns the handler's result, or 0 when nothing is bound to the event.
int dispatchEvent(WindowId window, int control, EventKind event, const EventArgs& args = {});
bool hasBinding(WindowId window, int control, EventKind event);
