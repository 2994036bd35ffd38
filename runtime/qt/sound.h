// Sound effects: WAV data played on channels of the mixer, several at once,
// looping until stopped when asked.
#pragma once

#include "runtime/platform.h"

namespace qtport {

bool startSound(const WavSound& sound, bool loop);
void stopAllSounds();
// The sound as a RIFF WAVE file again, for the decoder.
Bytes riffFile(const WavSound& sound);

}  // namespace qtport
