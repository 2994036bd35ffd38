// Speech synthesis for the pronunciation MP3s, with Flite's built-in voices.
// Flite's voices keep shared state and are not safe to use from several
// threads, so every synthesis holds one lock for its whole length.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace service {

struct Speech {
    std::vector<int16_t> samples;  // mono
    int sampleRate = 0;
};

// Loads Flite's voices. False on failure, with a message in error.
bool initSpeechEngine(std::string& error);

// The names of the voices, comma-separated, for messages.
std::string speechVoiceNames();

// Makes the named voice speak every request, whatever language it names.
// False, with nothing changed, when there is no voice of that name.
bool setPreferredVoice(const std::string& name);

// The text spoken at the given words-per-minute rate by the preferred voice
// if one was set, else by the British voice for the language "uk" and by the
// clearest voice for any other.
Speech synthesizeSpeech(const std::string& utf8, const std::string& language, int wordsPerMinute);

}  // namespace service
