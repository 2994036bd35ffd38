// Thin wrappers over the platform port, plus the program's clean-up list.
#include "runtime/services.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "runtime/clock.h"

namespace {
std::vector<void (*)()> cleanups;
}  // namespace

void waitProcessingEvents(int milliseconds) {
    if (milliseconds <= 0) return;
    const std::int64_t start = tickCount();
    for (;;) {
        processEvents();
        processEvents();
        if (tickCount() - start > milliseconds) return;
        processEvents();
        processEvents();
        // Sleep until an event arrives or the time is up instead of spinning;
        // at least 1 ms, so the strict "more than" is reached.
        std::int64_t remaining = milliseconds - (tickCount() - start);
        platform().waitForEvents(static_cast<int>(std::max<std::int64_t>(remaining, 1)));
    }
}

void processEvents() {
    platform().processEvents();
}

int messageBox(const Text& message, int flags, const Text& caption) {
    return platform().messageBox(message, flags, caption);
}

bool runCommandLine(const Text& commandLine) {
    return platform().runCommandLine(commandLine);
}

void endProgram(int exitCode) {
    platform().endProgram(exitCode);
    std::abort();  // a backend's endProgram never returns; make sure of it
}

bool loadWindow(WindowId window, bool modal) {
    return platform().loadWindow(window, modal);
}

void closeWindow(WindowId window) {
    platform().closeWindow(window);
}

int notifyLabel(ControlRef label, int first, int second, bool synchronous) {
    return platform().notifyLabel(label, first, second, synchronous);
}

int registerHotkey(WindowId owner, ControlRef label, int modifiers, int virtualKey) {
    return platform().registerHotkey(owner, label, modifiers, virtualKey);
}

void registerCleanup(void (*cleanup)()) {
    if (cleanup != nullptr) cleanups.push_back(cleanup);
}

// Last registered runs first; each runs once even when both endProgram and
// the normal end of the message loop get here.
void runCleanup() {
    while (!cleanups.empty()) {
        void (*cleanup)() = cleanups.back();
        cleanups.pop_back();
        cleanup();
    }
}
