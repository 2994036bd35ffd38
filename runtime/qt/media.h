// The pronunciation player: a small interpreter of media command strings
// ("Open <file> Alias MM", "play MM", "Stop MM", "Pause MM", "close MM", ...)
// that plays MP3 files. Command words are taken without regard to case.
#pragma once

#include "runtime/text.h"

namespace qtport {

// 0 on success, else an error code numbered like the Windows media errors.
int sendMediaCommand(const Text& command);
void closeAllMedia();

// The error codes given out.
constexpr int kMediaUnrecognizedKeyword = 259;
constexpr int kMediaUnrecognizedCommand = 261;
constexpr int kMediaHardware = 262;
constexpr int kMediaInvalidDeviceName = 263;  // not open, or not a device this player has
constexpr int kMediaMissingCommandString = 267;
constexpr int kMediaFileNotFound = 275;
constexpr int kMediaDuplicateAlias = 289;
constexpr int kMediaMissingDeviceName = 292;
constexpr int kMediaInvalidFile = 296;

}  // namespace qtport
