#include "service/speech_engine.h"

#include <espeak-ng/speak_lib.h>

#include <mutex>

namespace service {

namespace {

std::mutex engineLock;
int engineSampleRate = 0;
// The Speech being filled by the synthesis in progress; only touched while
// engineLock is held.
Speech* speechInProgress = nullptr;

// espeak-ng hands the samples of a synthesis to this callback in pieces.
int collectSamples(short* wav, int count, espeak_EVENT*) {
    if (wav != nullptr && count > 0 && speechInProgress != nullptr)
        speechInProgress->samples.insert(speechInProgress->samples.end(), wav, wav + count);
    return 0;
}

// Bounds the clause loop of a transcription even if espeak-ng stops advancing.
constexpr int kMaxClauses = 1000;

}  // namespace

bool initSpeechEngine(std::string& error) {
    std::lock_guard<std::mutex> lock(engineLock);
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
    espeak_SetSynthCallback(collectSamples);
    engineSampleRate = rate;
    return true;
}

std::string ipaTranscription(const std::string& utf8) {
    std::lock_guard<std::mutex> lock(engineLock);
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

Speech synthesizeSpeech(const std::string& utf8, int wordsPerMinute) {
    std::lock_guard<std::mutex> lock(engineLock);
    Speech speech;
    speech.sampleRate = engineSampleRate;
    if (utf8.empty()) return speech;
    espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
    speechInProgress = &speech;
    espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    espeak_Synchronize();
    speechInProgress = nullptr;
    return speech;
}

}  // namespace service
