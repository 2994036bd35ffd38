// Asynchronous WAV sound effects.
#pragma once

#include "runtime/bytes.h"
#include "runtime/platform.h"

Text soundEffectPath(const Text& fileName);         // program folder + "\音效\" + name
bool parseWav(const Bytes& data, WavSound& sound);  // RIFF/WAVE, "fmt ", non-empty "data"
bool playSound(const Text& file, bool loop = false);
void stopAllSounds();
