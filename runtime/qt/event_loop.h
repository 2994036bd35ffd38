// Event handling for the program's waits, the message loop, and label
// notifications (run now, or queued for the next round of event handling).
#pragma once

#include "ui/layout.h"

namespace qtport {

void processEvents();
void waitForEvents(int maxMilliseconds);
int runMessageLoop();
int notifyLabel(ControlRef label, int first, int second, bool synchronous);

}  // namespace qtport
