// espeak-ng with its British English voice: IPA transcriptions and speech.
// espeak-ng keeps global state and is not thread-safe, so every call here
// holds one lock for its whole length.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace service {

struct Speech {
    std::vector<int16_t> samples;  // mono
    int sampleRate = 0;
};

// Loads espeak-ng's data and selects the "en-gb" voice. False on failure,
// with a message in error.
bool initSpeechEngine(std::string& error);

// IPA for UTF-8 text, words separated by blanks.
std::string ipaTranscription(const std::string& utf8);

// The text spoken at the given words-per-minute rate.
Speech synthesizeSpeech(const std::string& utf8, int wordsPerMinute);

}  // namespace service
