#include "runtime/qt/audio_device.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace qtport {

namespace {

enum class AudioState { Untried, Open, Unavailable };
AudioState state = AudioState::Untried;

}  // namespace

bool audioReady() {
    if (state != AudioState::Untried) return state == AudioState::Open;
    state = AudioState::Unavailable;
    // The program handles its own signals; SDL must not take them over.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(8);
    state = AudioState::Open;
    return true;
}

void closeAudio() {
    if (state != AudioState::Open) return;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    state = AudioState::Untried;
}

}  // namespace qtport
