// Speech from Flite's built-in voices. The voice set is kept small: every
// voice adds megabytes to the program folder.
#include "service/speech_engine.h"

#include <flite.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>

extern "C" {
cst_voice* register_cmu_us_awb(const char* voxdir);
cst_voice* register_cmu_us_rms(const char* voxdir);
}

namespace service {

namespace {

struct Voice {
    const char* name;
    cst_voice* (*load)(const char*);
    // The words-per-minute rate at which the voice speaks at its own pace;
    // a slower rate stretches it. Measured: each voice is understood best
    // at this pace when the program asks for its usual slow speed.
    double ownWordsPerMinute;
    cst_voice* loaded = nullptr;
    int sampleRate = 0;
};

// Chosen by measured intelligibility (scripts/bench-speech): awb (Scottish
// English) is the clearest British voice, rms (US English) the clearest of
// all. Flite's other voices were understood less well.
Voice voices[] = {
    {"awb", register_cmu_us_awb, 175.0},
    {"rms", register_cmu_us_rms, 130.0},
};
const char* const kBritishVoice = "awb";
const char* const kClearestVoice = "rms";

// Silence around each word. A player that opens late loses the start of a
// sound, and the MP3 encoder's own padding blurs its end; measured, 100 ms
// each side makes words clearer and more does not.
constexpr int kLeadingSilenceMs = 100;
constexpr int kTrailingSilenceMs = 100;

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

std::mutex engineLock;
Voice* preferred = nullptr;

Voice* findVoice(const std::string& name) {
    for (Voice& voice : voices)
        if (name == voice.name) return &voice;
    return nullptr;
}

Voice& voiceFor(const std::string& language) {
    if (preferred != nullptr) return *preferred;
    return *findVoice(language == "uk" ? kBritishVoice : kClearestVoice);
}

std::vector<int16_t> synthesize(Voice& voice, const std::string& text, double stretch, int& sampleRate) {
    feat_set_float(voice.loaded->features, "duration_stretch", static_cast<float>(stretch));
    // Flite draws the noise of unvoiced sounds from rand(); the same seed
    // every time makes a word always come out the same.
    std::srand(1);
    cst_wave* wave = flite_text_to_wave(text.c_str(), voice.loaded);
    std::vector<int16_t> samples;
    if (wave == nullptr) return samples;
    sampleRate = wave->sample_rate;
    const int channels = std::max(1, wave->num_channels);
    samples.reserve(static_cast<size_t>(wave->num_samples));
    for (int i = 0; i < wave->num_samples; ++i) samples.push_back(wave->samples[i * channels]);
    delete_wave(wave);
    return samples;
}

void padWithSilence(std::vector<int16_t>& samples, int sampleRate) {
    samples.insert(samples.begin(), static_cast<size_t>(sampleRate) * kLeadingSilenceMs / 1000, 0);
    samples.insert(samples.end(), static_cast<size_t>(sampleRate) * kTrailingSilenceMs / 1000, 0);
}

}  // namespace

bool initSpeechEngine(std::string& error) {
    std::lock_guard<std::mutex> lock(engineLock);
    flite_init();
    for (Voice& voice : voices) {
        if (voice.loaded == nullptr) voice.loaded = voice.load(nullptr);
        if (voice.loaded == nullptr) {
            error = std::string("cannot load the Flite voice \"") + voice.name + "\"";
            return false;
        }
        // A first word loads the rest of the voice and tells its sample rate.
        synthesize(voice, "a", 1.0, voice.sampleRate);
        if (voice.sampleRate <= 0) {
            error = std::string("the Flite voice \"") + voice.name + "\" does not speak";
            return false;
        }
    }
    return true;
}

std::string speechVoiceNames() {
    std::string names;
    for (const Voice& voice : voices) names += (names.empty() ? "" : ", ") + std::string(voice.name);
    return names;
}

bool setPreferredVoice(const std::string& name) {
    std::lock_guard<std::mutex> lock(engineLock);
    Voice* voice = findVoice(name);
    if (voice == nullptr) return false;
    preferred = voice;
    return true;
}

Speech synthesizeSpeech(const std::string& utf8, const std::string& language, int wordsPerMinute) {
    std::lock_guard<std::mutex> lock(engineLock);
    Voice& voice = voiceFor(language);
    Speech speech;
    speech.sampleRate = voice.sampleRate;
    if (!utf8.empty() && wordsPerMinute > 0)
        speech.samples =
            synthesize(voice, shortTokens(utf8), voice.ownWordsPerMinute / wordsPerMinute, speech.sampleRate);
    padWithSilence(speech.samples, speech.sampleRate);
    return speech;
}

}  // namespace service
