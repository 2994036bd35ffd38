// The GUI thread's message handling: the main loop, the nested loops of the
// program's waits, and the modal loop of a window.
#pragma once

#include <windows.h>

namespace win32 {

// Hands one message to its window, with dialog-style keyboard navigation
// (Tab, arrows, Space) for the program's own windows.
void pumpMessage(MSG& message);

// Handles the pending messages one after another until none is left or the
// next one is WM_QUIT, which stays queued.
void processEvents();
// Blocks until a message arrives or the time is up.
void waitForEvents(int maxMilliseconds);
// Until WM_QUIT; returns its exit code.
int runMessageLoop();
// Until *open becomes false; a WM_QUIT met meanwhile is put back for the
// outer loop.
void runModalLoop(const bool* open);

}  // namespace win32
