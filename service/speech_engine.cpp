#include "service/speech_engine.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include "service/espeak_guard.h"
#include "service/transcription.h"

namespace service {

namespace {

int engineSampleRate = 0;
// The Speech being filled by the synthesis in progress; only touched while
// the espeak-ng lock is held.
Speech* speechInProgress = nullptr;

// espeak-ng hands the samples of a synthesis to this callback in pieces.
int collectSamples(short* wav, int count, espeak_EVENT*) {
    if (wav != nullptr && count > 0 && speechInProgress != nullptr)
        speechInProgress->samples.insert(speechInProgress->samples.end(), wav, wav + count);
    return 0;
}

}  // namespace

bool initSpeechEngine(std::string& error) {
    // The transcriber loads the library and chooses the British voice.
    if (!initTranscriber(error)) return false;
    std::lock_guard<std::mutex> lock(espeakMutex());
    espeak_SetSynthCallback(collectSamples);
    engineSampleRate = espeak_ng_GetSampleRate();
    return true;
}

Speech synthesizeSpeech(const std::string& utf8, int wordsPerMinute) {
    std::lock_guard<std::mutex> lock(espeakMutex());
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
