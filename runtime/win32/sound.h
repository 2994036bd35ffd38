// Sound effects on waveform audio: one output stream per effect, so effects
// overlap; looping streams repeat until stopped. Every stream is owned by the
// GUI thread: the driver reports finished buffers as window messages, so
// starting, reaping and stopping never race with each other.
#pragma once

#include "runtime/platform.h"

namespace win32 {

// Wakes the system's audio devices on a thread of its own. The first
// stream opened otherwise waits on the GUI thread while they start, and the
// bank window opens its background loop as it is created.
void wakeSoundDevices();
bool startSound(const WavSound& sound, bool loop);  // false when no stream could be started
void stopAllSounds();

}  // namespace win32
