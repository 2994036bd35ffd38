// Speech synthesis for the pronunciation MP3s. The engine keeps global
// state, so every call here holds one lock for its whole length.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace service {

struct Speech {
    std::vector<int16_t> samples;  // mono
    int sampleRate = 0;
};

// Loads the voice. False on failure, with a message in error.
bool initSpeechEngine(std::string& error);

// The text spoken at the given words-per-minute rate.
Speech synthesizeSpeech(const std::string& utf8, int wordsPerMinute);

}  // namespace service
