// Message boxes and starting a file or program.
#pragma once

#include "runtime/text.h"

namespace qtport {

// Flags as the Windows message box takes them: buttons in the low four bits
// (0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No,
// 5 Retry/Cancel), the icon in the next four, the default button after that.
// Application-modal; returns the button as the program numbers them.
int messageBox(const Text& message, int flags, const Text& caption);
// Starts the command line: the program it names, with the rest as arguments.
bool runCommandLine(const Text& commandLine);
// Opens the file in a text editor, whatever its name or content.
bool openTextFile(const Text& path);

}  // namespace qtport
