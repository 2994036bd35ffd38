#include "runtime/win32/ole_apartment.h"

#include <windows.h>
// Needs windows.h first.
#include <ole2.h>

namespace win32 {

namespace {

bool started = false;

}  // namespace

void startOle() {
    if (started) return;
    // A single-threaded apartment with OLE, as the web browser control and
    // the rich-text box's drag and drop need. A failure leaves both without
    // it, as it did at the start.
    started = SUCCEEDED(OleInitialize(nullptr));
}

void endOle() {
    if (!started) return;
    OleUninitialize();
    started = false;
}

}  // namespace win32
