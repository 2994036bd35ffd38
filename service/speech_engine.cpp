// Speech from Flite's British-accented "awb" voice.
#include "service/speech_engine.h"

#include <flite.h>

#include <mutex>

extern "C" cst_voice* register_cmu_us_awb(const char* voxdir);

namespace service {

namespace {

// Flite keeps global state; one synthesis at a time.
std::mutex& fliteMutex() {
    static std::mutex lock;
    return lock;
}

cst_voice* voice = nullptr;

// Flite's own pace is about 175 words per minute; a slower rate stretches
// every duration.
constexpr float kNormalWordsPerMinute = 175.0f;

// Flite spells out a token it cannot read letter by letter; a long run of
// letters would take many seconds to synthesise. No English word is longer.
constexpr std::size_t kMaxTokenBytes = 32;

std::string shortTokens(const std::string& text) {
    std::string out;
    std::size_t run = 0;
    for (char c : text) {
        run = c == ' ' ? 0 : run + 1;
        if (run <= kMaxTokenBytes) out += c;
    }
    return out;
}

}  // namespace

bool initSpeechEngine(std::string& error) {
    std::lock_guard<std::mutex> lock(fliteMutex());
    flite_init();
    voice = register_cmu_us_awb(nullptr);
    if (voice == nullptr) {
        error = "cannot load the Flite voice \"awb\"";
        return false;
    }
    return true;
}

Speech synthesizeSpeech(const std::string& utf8, int wordsPerMinute) {
    std::lock_guard<std::mutex> lock(fliteMutex());
    Speech speech;
    speech.sampleRate = 16000;
    if (utf8.empty() || voice == nullptr || wordsPerMinute <= 0) return speech;
    feat_set_float(voice->features, "duration_stretch",
                   kNormalWordsPerMinute / static_cast<float>(wordsPerMinute));
    cst_wave* wave = flite_text_to_wave(shortTokens(utf8).c_str(), voice);
    if (wave == nullptr) return speech;
    speech.sampleRate = wave->sample_rate;
    speech.samples.assign(wave->samples, wave->samples + wave->num_samples);
    delete_wave(wave);
    return speech;
}

}  // namespace service
