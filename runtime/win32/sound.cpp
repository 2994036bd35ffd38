#include "runtime/win32/sound.h"

#include <windows.h>
// Needs windows.h first.
#include <mmsystem.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

namespace win32 {

namespace {

// A looping stream keeps two buffers of the same samples queued, so the
// sound goes on while the GUI thread is busy for up to one play-through.
constexpr int kLoopBuffers = 2;

struct Stream {
    HWAVEOUT out = nullptr;
    Bytes samples;
    WAVEHDR headers[kLoopBuffers] = {};
    int headerCount = 1;
    bool loop = false;
};

std::vector<std::unique_ptr<Stream>> streams;
HWND callbackWindow = nullptr;

void closeStream(Stream& stream) {
    waveOutReset(stream.out);
    for (int i = 0; i < stream.headerCount; ++i) {
        waveOutUnprepareHeader(stream.out, &stream.headers[i], sizeof(WAVEHDR));
    }
    waveOutClose(stream.out);
}

void onBufferDone(HWAVEOUT out, WAVEHDR* header) {
    auto found = std::find_if(streams.begin(), streams.end(), [&](const auto& s) { return s->out == out; });
    if (found == streams.end()) return;  // a stream stopped already
    Stream& stream = **found;
    const bool ours = header >= stream.headers && header < stream.headers + stream.headerCount;
    if (!ours || (header->dwFlags & WHDR_DONE) == 0) return;
    if (stream.loop) {
        waveOutWrite(stream.out, header, sizeof(WAVEHDR));
        return;
    }
    closeStream(stream);
    streams.erase(found);
}

LRESULT CALLBACK soundWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MM_WOM_DONE) {
        try {
            onBufferDone(reinterpret_cast<HWAVEOUT>(wParam), reinterpret_cast<WAVEHDR*>(lParam));
        } catch (...) {
            // Nothing unwinds into the system's message dispatch.
        }
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND soundWindow() {
    if (callbackWindow != nullptr) return callbackWindow;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = soundWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VorbelzozSound";
    RegisterClassW(&windowClass);
    callbackWindow = CreateWindowExW(0, L"VorbelzozSound", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    return callbackWindow;
}

bool validFormat(const WavSound& sound) {
    return sound.channels > 0 && sound.samplesPerSecond > 0 && sound.blockAlign > 0 &&
           sound.bitsPerSample >= 0 && !sound.samples.empty() && sound.samples.size() <= 0x7FFFFFFF;
}

}  // namespace

void wakeSoundDevices() {
    try {
        // Detached: the program may end before the devices are awake, and
        // ending the process ends the thread with it.
        std::thread([] { waveOutGetNumDevs(); }).detach();
    } catch (const std::exception&) {
        // No thread: the first sound wakes the devices itself.
    }
}

bool startSound(const WavSound& sound, bool loop) {
    if (!validFormat(sound) || soundWindow() == nullptr) return false;
    WAVEFORMATEX format{};
    format.wFormatTag = static_cast<WORD>(sound.formatTag);
    format.nChannels = static_cast<WORD>(sound.channels);
    format.nSamplesPerSec = static_cast<DWORD>(sound.samplesPerSecond);
    format.nBlockAlign = static_cast<WORD>(sound.blockAlign);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    format.wBitsPerSample = static_cast<WORD>(sound.bitsPerSample);

    auto stream = std::make_unique<Stream>();
    stream->samples = sound.samples;
    stream->loop = loop;
    stream->headerCount = loop ? kLoopBuffers : 1;
    if (waveOutOpen(&stream->out, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(soundWindow()), 0,
                    CALLBACK_WINDOW) != MMSYSERR_NOERROR) {
        return false;
    }
    for (int i = 0; i < stream->headerCount; ++i) {
        WAVEHDR& header = stream->headers[i];
        header.lpData = stream->samples.data();
        header.dwBufferLength = static_cast<DWORD>(stream->samples.size());
        if (waveOutPrepareHeader(stream->out, &header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR ||
            waveOutWrite(stream->out, &header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            stream->headerCount = i + 1;
            closeStream(*stream);
            return false;
        }
    }
    streams.push_back(std::move(stream));
    return true;
}

void stopAllSounds() {
    // Taken out of the list first: the reset reports the buffers as done, and
    // those reports must find nothing to act on.
    std::vector<std::unique_ptr<Stream>> stopping;
    stopping.swap(streams);
    for (auto& stream : stopping) closeStream(*stream);
}

}  // namespace win32
