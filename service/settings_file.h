// The voice named in the program's settings file, vorbelzoz.ini. The file
// belongs to the program; the service reads only its "voice = NAME" line.
#pragma once

#include <string>

namespace service {

// Largest settings file read; a longer one is ignored as a whole.
constexpr size_t kMaxSettingsBytes = 16 * 1024;

// The value of the "voice" key in the file's text, in voice; empty when
// there is none. Lines are "key = value", ";" or "#" start a comment, other
// keys are the program's. False, with a message in problem and voice
// empty, when the text is not a settings file (a NUL byte, a line without
// "=", too long) or the voice line is odd (a repeat, a value that is not
// 1..32 letters, digits or "_").
bool parseSettingsVoice(const std::string& text, std::string& voice, std::string& problem);

// Picks the voice for every request: the command line's, else the one the
// settings file at path names. A missing file is no voice; an unknown voice
// or an unusable file is reported on stderr and the default voices stay.
void choosePreferredVoice(const std::string& commandLineVoice, const std::string& settingsPath);

}  // namespace service
