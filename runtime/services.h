// Runtime services that reach the platform: waits, dialogs, processes,
// windows and notifications. Thin, so the logic reads like the design.
#pragma once

#include "runtime/platform.h"

// Returns only after strictly more than the given time; handles window
// events meanwhile. 0 or less returns at once.
void waitProcessingEvents(int milliseconds);
void processEvents();

int messageBox(const Text& message, int flags = kMbOk, const Text& caption = "信息：");
bool runCommandLine(const Text& commandLine);
[[noreturn]] void endProgram(int exitCode);
bool loadWindow(WindowId window, bool modal);
void closeWindow(WindowId window);
int notifyLabel(ControlRef label, int first = 0, int second = 0, bool synchronous = true);
int registerHotkey(WindowId owner, ControlRef label, int modifiers, int virtualKey);

// Clean-up run by endProgram and at the normal end of the program.
void registerCleanup(void (*cleanup)());
void runCleanup();
