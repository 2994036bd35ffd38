// Synthesises the program's seven sound effects as mono 16-bit PCM WAV files
// at 22050 Hz. Everything is made from sine partials with smooth envelopes, so
// the files are our own and small.
//
//   g++ -std=c++20 -O2 tools/make_sounds.cpp -o /tmp/make_sounds
//   /tmp/make_sounds data/音效
//
// "选词.wav" is a background loop: its sustained partials all complete a whole
// number of cycles in the loop length, and its plucked notes are summed
// periodically (a note's tail that runs past the end continues at the start),
// so the last sample runs into the first without a click and without a fade.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

using Samples = std::vector<double>;

double noteHz(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// A bell-like note: a few harmonics, a short attack and an exponential decay.
void addNote(Samples& out, double startSec, double hz, double seconds, double gain, double decayPerSec,
             bool wrap = false) {
    const int start = static_cast<int>(startSec * kRate);
    const int length = static_cast<int>(seconds * kRate);
    const double attack = 0.006 * kRate;
    const double partials[][2] = {{1.0, 1.0}, {2.0, 0.35}, {3.0, 0.12}, {4.0, 0.05}};
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double env = std::exp(-decayPerSec * t);
        if (i < attack) env *= 0.5 - 0.5 * std::cos(kPi * i / attack);
        // The last 20 ms fall smoothly to zero so cut notes never click.
        const int tail = length - i;
        const double release = 0.02 * kRate;
        if (tail < release) env *= 0.5 - 0.5 * std::cos(kPi * tail / release);
        double v = 0.0;
        for (const auto& p : partials) v += p[1] * std::sin(2.0 * kPi * hz * p[0] * t);
        int at = start + i;
        if (wrap) {
            at %= static_cast<int>(out.size());
        } else if (at >= static_cast<int>(out.size())) {
            break;
        }
        out[at] += gain * env * v;
    }
}

// A low, rough buzz: odd harmonics of a square-ish wave with a slight beat.
void addBuzz(Samples& out, double hz, double seconds, double gain) {
    const int length = static_cast<int>(seconds * kRate);
    for (int i = 0; i < length && i < static_cast<int>(out.size()); ++i) {
        const double t = static_cast<double>(i) / kRate;
        double env = 1.0;
        const double edge = 0.015 * kRate;
        if (i < edge) env = 0.5 - 0.5 * std::cos(kPi * i / edge);
        if (length - i < edge) env = 0.5 - 0.5 * std::cos(kPi * (length - i) / edge);
        double v = 0.0;
        for (int k = 1; k <= 9; k += 2) {
            v += std::sin(2.0 * kPi * hz * k * t) / k;
            v += std::sin(2.0 * kPi * (hz * 1.02) * k * t) / k;
        }
        out[i] += gain * env * v * 0.5;
    }
}

Samples silence(double seconds) {
    return Samples(static_cast<size_t>(seconds * kRate), 0.0);
}

void normalise(Samples& s, double peak) {
    double max = 0.0;
    for (double v : s) max = std::max(max, std::fabs(v));
    if (max <= 0.0) return;
    for (double& v : s) v *= peak / max;
}

void put16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void put32(std::string& out, uint32_t v) {
    put16(out, static_cast<uint16_t>(v & 0xFFFF));
    put16(out, static_cast<uint16_t>(v >> 16));
}

bool writeWav(const std::string& path, const Samples& s) {
    std::string data;
    for (double v : s) {
        const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
        put16(data, static_cast<uint16_t>(static_cast<int16_t>(q)));
    }
    std::string file = "RIFF";
    put32(file, static_cast<uint32_t>(36 + data.size()));
    file += "WAVEfmt ";
    put32(file, 16);
    put16(file, 1);  // PCM
    put16(file, 1);  // mono
    put32(file, kRate);
    put32(file, kRate * 2);
    put16(file, 2);
    put16(file, 16);
    file += "data";
    put32(file, static_cast<uint32_t>(data.size()));
    file += data;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

Samples startSound() {  // rising major arpeggio
    Samples s = silence(0.75);
    const int notes[] = {72, 76, 79, 84};
    for (int i = 0; i < 4; ++i) addNote(s, i * 0.09, noteHz(notes[i]), 0.75 - i * 0.09, 0.5, 6.0);
    normalise(s, 0.7);
    return s;
}

Samples endSound() {  // falling cadence that settles on the tonic
    Samples s = silence(1.2);
    const int notes[] = {79, 76, 72};
    for (int i = 0; i < 3; ++i)
        addNote(s, i * 0.18, noteHz(notes[i]), 1.2 - i * 0.18, 0.5, i == 2 ? 2.5 : 5.0);
    addNote(s, 0.36, noteHz(60), 0.84, 0.3, 2.5);
    normalise(s, 0.7);
    return s;
}

Samples rightSound() {  // bright, quick and rising
    Samples s = silence(0.35);
    addNote(s, 0.0, noteHz(88), 0.35, 0.5, 12.0);
    addNote(s, 0.08, noteHz(93), 0.27, 0.6, 9.0);
    normalise(s, 0.7);
    return s;
}

Samples wrongSound() {  // low buzz
    Samples s = silence(0.4);
    addBuzz(s, 110.0, 0.4, 0.5);
    normalise(s, 0.6);
    return s;
}

Samples waitingSound() {  // two soft chimes, an open fifth
    Samples s = silence(1.0);
    addNote(s, 0.0, noteHz(74), 1.0, 0.4, 4.0);
    addNote(s, 0.25, noteHz(81), 0.75, 0.4, 4.0);
    normalise(s, 0.5);
    return s;
}

Samples hintSound() {  // a single gentle ding
    Samples s = silence(0.45);
    addNote(s, 0.0, noteHz(81), 0.45, 0.5, 8.0);
    normalise(s, 0.5);
    return s;
}

// Six seconds that loop: a quiet pad whose partials are rounded to multiples
// of 1/6 Hz (whole cycles in the loop) and that slowly swells between two
// chords, plus plucked notes of a pentatonic line summed periodically.
Samples backgroundLoop() {
    const double loopSec = 6.0;
    Samples s = silence(loopSec);
    const double step = 1.0 / loopSec;
    auto roundHz = [step](double hz) { return std::round(hz / step) * step; };
    const int chordA[] = {48, 55, 64};  // C3 G3 E4
    const int chordB[] = {45, 52, 60};  // A2 E3 C4
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double swell = 0.5 - 0.5 * std::cos(2.0 * kPi * t / loopSec);  // one cycle per loop
        double v = 0.0;
        for (int m : chordA) v += (1.0 - swell) * std::sin(2.0 * kPi * roundHz(noteHz(m)) * t);
        for (int m : chordB) v += swell * std::sin(2.0 * kPi * roundHz(noteHz(m)) * t);
        s[i] += 0.12 * v;
    }
    const int melody[] = {72, 74, 76, 79, 76, 74, 72, 69, 67, 69, 72, 74};
    for (int i = 0; i < 12; ++i) addNote(s, i * 0.5, noteHz(melody[i]), 2.0, 0.18, 2.2, true);
    normalise(s, 0.35);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const struct {
        const char* name;
        Samples samples;
    } sounds[] = {
        {"开始.wav", startSound()}, {"结束.wav", endSound()},         {"答对.wav", rightSound()},
        {"答错.wav", wrongSound()}, {"等待开始.wav", waitingSound()}, {"选词.wav", backgroundLoop()},
        {"提示.wav", hintSound()},
    };
    int failures = 0;
    for (const auto& sound : sounds) {
        const std::string path = folder + "/" + sound.name;
        if (!writeWav(path, sound.samples)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
