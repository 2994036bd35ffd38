// Speech from Flite's built-in voices. The voice set is kept small: every
// voice adds megabytes to the program folder.
#include "service/speech_engine.h"

#include <flite/flite.h>

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
    cst_voice* loaded = nullptr;
    int sampleRate = 0;
};

// Chosen by measured intelligibility (scripts/bench-speech): awb (Scottish
// English) is the clearest British voice, rms (US English) the clearest of
// all.
Voice voices[] = {
    {"awb", register_cmu_us_awb},
    {"rms", register_cmu_us_rms},
};
const char* const kBritishVoice = "awb";
const char* const kClearestVoice = "rms";

// Speaking rate: Flite's own pace is this many words a minute.
constexpr double kNormalWordsPerMinute = 175.0;
// Silence around each word, so a player that opens late loses none of it.
constexpr int kLeadingSilenceMs = 0;
constexpr int kTrailingSilenceMs = 0;
// Peak level after normalisation, of full scale; 0 leaves the level alone.
constexpr double kPeakLevel = 0.0;

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

void normalize(std::vector<int16_t>& samples) {
    if (kPeakLevel <= 0.0 || samples.empty()) return;
    int peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    if (peak == 0) return;
    const double gain = kPeakLevel * 32767.0 / peak;
    for (int16_t& s : samples) s = static_cast<int16_t>(std::clamp(s * gain, -32768.0, 32767.0));
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

std::string voiceForLanguage(const std::string& language) {
    std::lock_guard<std::mutex> lock(engineLock);
    return voiceFor(language).name;
}

Speech synthesizeSpeech(const std::string& utf8, const std::string& language, int wordsPerMinute) {
    std::lock_guard<std::mutex> lock(engineLock);
    Voice& voice = voiceFor(language);
    Speech speech;
    speech.sampleRate = voice.sampleRate;
    if (!utf8.empty() && wordsPerMinute > 0)
        speech.samples = synthesize(voice, utf8, kNormalWordsPerMinute / wordsPerMinute, speech.sampleRate);
    normalize(speech.samples);
    padWithSilence(speech.samples, speech.sampleRate);
    return speech;
}

}  // namespace service
