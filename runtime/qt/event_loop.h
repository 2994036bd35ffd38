// Event handling for the program's waits, the message loop, and label
// notifications (run now, or queued for the next round of event handling).
#pragma once

#include "ui/event_wiring.h"
#include "ui/layout.h"

namespace qtport {

void processEvents();
void waitForEvents(int maxMilliseconds);
int runMessageLoop();
int notifyLabel(ControlRef label, int first, int second, bool synchronous);
// Raises a program event from Qt's event handling (filters, slots, queued
// calls). Whatever the handler throws ends there, never in Qt's event loop;
// the event then counts as unhandled (0).
int dispatchFromEventLoop(WindowId window, int control, EventKind event, const EventArgs& args = {});

}  // namespace qtport
