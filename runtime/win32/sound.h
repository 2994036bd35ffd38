// Sound effects on waveform audio: one output stream per effect, so effects
// overlap; looping streams repeat until stopped. Every stream is owned by the
// GUI thread: the driver reports finished buffers as window messages, so
// starting, reaping and stopping never race with each other.
#pragma once

#include "runtime/platform.h"

namespace win32 {

bool startSound(const WavSound& sound, bool loop);  // false when no stream could be started
void stopAllSounds();

}  // namespace win32
