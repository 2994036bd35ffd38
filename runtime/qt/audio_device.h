// The one audio output shared by the pronunciation player and the sound
// effects. It is opened on first use; when there is no sound device (or no
// SDL2_mixer) the program stays silent and nothing else changes.
#pragma once

#include "runtime/qt/optional_libraries.h"

namespace qtport {

bool audioReady();  // opens the output the first time; false when there is none
// Whether the output is open now; never opens it.
bool audioOpen();
// Starts opening the output on a thread of its own, unless it is open or
// being opened; whenOpen then runs on the GUI thread, once, when it is
// (also when audioReady() was the first to see it open). Loading SDL2 and
// opening a device takes tens of milliseconds, which the window asking for
// a sound as it is created should not wait for. False when the output is
// known to be unavailable.
bool openAudioInBackground(void (*whenOpen)());
// From the creation of a window until it is first drawn, the opening waits:
// loading SDL2 and its libraries beside the first paint slowed the bank
// window down, and its background sound may begin a moment after it shows.
void holdAudioOpening();
void releaseAudioOpening();
// The mixer's functions, once audioReady() has returned true.
const MixerLibrary& mixer();
void closeAudio();

}  // namespace qtport
