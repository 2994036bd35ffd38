// The one audio output shared by the pronunciation player and the sound
// effects. It is opened on first use; when there is no sound device the
// program stays silent and nothing else changes.
#pragma once

namespace qtport {

bool audioReady();  // opens the output the first time; false when there is none
void closeAudio();

}  // namespace qtport
