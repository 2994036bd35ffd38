#include "runtime/qt/audio_device.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <thread>

namespace qtport {

namespace {

enum class AudioState { Untried, Opening, Open, Unavailable };
AudioState state = AudioState::Untried;  // read and written on the GUI thread only
// Never destroyed: a program that ends while the output is still being
// opened must not end in std::terminate.
std::thread* opener = nullptr;
bool openedByThread = false;  // written by the opener, read after joining it
void (*onOpen)() = nullptr;
bool held = false;

void startOpener();

// Any thread; touches nothing but SDL and the result.
bool openOutput() {
    const MixerLibrary* mix = mixerLibrary();
    if (mix == nullptr) return false;
    // The program handles its own signals; SDL must not take them over.
    mix->setHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (mix->initSubSystem(SDL_INIT_AUDIO) != 0) return false;
    mix->init(MIX_INIT_MP3);
    if (mix->openAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        mix->quit();
        mix->quitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    mix->allocateChannels(8);
    return true;
}

void finishOpening() {
    if (state != AudioState::Opening) return;
    if (opener != nullptr) {
        opener->join();
        delete opener;
        opener = nullptr;
    } else {
        openedByThread = openOutput();  // held, and now needed at once
    }
    state = openedByThread ? AudioState::Open : AudioState::Unavailable;
    void (*whenOpen)() = onOpen;
    onOpen = nullptr;
    if (state == AudioState::Open && whenOpen != nullptr) whenOpen();
}

void startOpener() {
    opener = new std::thread([] {
        openedByThread = openOutput();
        QCoreApplication* application = QCoreApplication::instance();
        if (application != nullptr)
            QMetaObject::invokeMethod(application, finishOpening, Qt::QueuedConnection);
    });
}

}  // namespace

bool audioReady() {
    if (state == AudioState::Opening) finishOpening();
    if (state != AudioState::Untried) return state == AudioState::Open;
    state = openOutput() ? AudioState::Open : AudioState::Unavailable;
    return state == AudioState::Open;
}

bool audioOpen() {
    return state == AudioState::Open;
}

bool openAudioInBackground(void (*whenOpen)()) {
    if (state != AudioState::Untried) return state != AudioState::Unavailable;
    state = AudioState::Opening;
    onOpen = whenOpen;
    if (!held) startOpener();
    return true;
}

void holdAudioOpening() {
    held = true;
}

void releaseAudioOpening() {
    if (!held) return;
    held = false;
    if (state == AudioState::Opening && opener == nullptr) startOpener();
}

const MixerLibrary& mixer() {
    return *mixerLibrary();
}

void closeAudio() {
    if (state == AudioState::Opening && opener == nullptr) {
        state = AudioState::Untried;  // held: nothing was opened yet
        onOpen = nullptr;
        return;
    }
    if (state == AudioState::Opening) finishOpening();
    if (state != AudioState::Open) return;
    const MixerLibrary& mix = mixer();
    mix.haltChannel(-1);
    mix.haltMusic();
    mix.closeAudio();
    mix.quit();
    mix.quitSubSystem(SDL_INIT_AUDIO);
    state = AudioState::Untried;
}

}  // namespace qtport
