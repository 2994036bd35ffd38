// Live transcriptions from espeak-ng's British English voice.
#include <espeak-ng/speak_lib.h>

#include "service/espeak_guard.h"
#include "service/transcription.h"

namespace service {

namespace {

// Bounds the clause loop of a transcription even if espeak-ng stops advancing.
constexpr int kMaxClauses = 1000;

}  // namespace

std::mutex& espeakMutex() {
    static std::mutex lock;
    return lock;
}

bool initTranscriber(std::string& error) {
    std::lock_guard<std::mutex> lock(espeakMutex());
    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 200, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) {
        error = "cannot load the espeak-ng data (is espeak-ng-data installed?)";
        return false;
    }
    // The library finds the British voice by its language, not by the name
    // the command line accepts.
    espeak_VOICE british{};
    british.languages = "en-gb";
    if (espeak_SetVoiceByProperties(&british) != EE_OK) {
        error = "espeak-ng has no British English voice \"en-gb\"";
        return false;
    }
    return true;
}

std::string ipaTranscription(const std::string& utf8) {
    std::lock_guard<std::mutex> lock(espeakMutex());
    std::string result;
    const void* text = utf8.c_str();
    for (int clause = 0; text != nullptr && clause < kMaxClauses; ++clause) {
        const char* piece = espeak_TextToPhonemes(&text, espeakCHARS_UTF8, espeakPHONEMES_IPA);
        if (piece == nullptr || *piece == '\0') continue;
        // Each clause comes back on its own; keep them apart by one blank.
        if (!result.empty()) result += ' ';
        result += piece;
    }
    // espeak-ng ends its phoneme strings with blanks or a line break.
    while (!result.empty() && (result.back() == ' ' || result.back() == '\n')) result.pop_back();
    while (!result.empty() && (result.front() == ' ' || result.front() == '\n')) result.erase(0, 1);
    return result;
}

}  // namespace service
