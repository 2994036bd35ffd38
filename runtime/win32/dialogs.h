// Message boxes and starting other programs.
#pragma once

#include "runtime/text.h"

namespace win32 {

// Task-modal unless the flags ask for a system-modal box; no owner window.
// Returns the program's button number (OK 0, Cancel 1, ... Yes 5, No 6).
int messageBox(const Text& message, int flags, const Text& caption);
// Starts the command line with a normal window and waits until the new
// process is ready for input, at most one second.
bool runCommandLine(const Text& commandLine);
// Opens the file in Notepad, whatever its extension: a report named after a
// bank such as "x.cmd" is read as text, never run.
bool openTextFile(const Text& path);

}  // namespace win32
