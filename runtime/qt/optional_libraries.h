// libcurl, SDL2 and SDL2_mixer are not linked to the program but opened here
// when a lookup or a sound first needs them. Linked, they brought some
// seventy more shared libraries (TLS, Kerberos, LDAP, SSH, FluidSynth,
// JACK, module players) that the dynamic linker loaded and relocated before
// main, although the bank window needs none of them.
//
// A library that cannot be opened is reported once on the standard error,
// and the program goes on as it does without a sound device or a network:
// silent, and every lookup failing.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>
#include <curl/curl.h>

namespace qtport {

// Member names differ from the C names, which libcurl's headers may define
// as macros.
struct CurlLibrary {
    decltype(&::curl_global_init) globalInit;
    decltype(&::curl_easy_init) init;
    decltype(&::curl_easy_setopt) setopt;
    decltype(&::curl_easy_perform) perform;
    decltype(&::curl_easy_getinfo) getinfo;
    decltype(&::curl_easy_cleanup) cleanup;
    decltype(&::curl_slist_append) slistAppend;
    decltype(&::curl_slist_free_all) slistFreeAll;
};

struct MixerLibrary {
    decltype(&::SDL_SetHint) setHint;
    decltype(&::SDL_InitSubSystem) initSubSystem;
    decltype(&::SDL_QuitSubSystem) quitSubSystem;
    decltype(&::SDL_RWFromConstMem) rwFromConstMem;
    decltype(&::Mix_Init) init;
    decltype(&::Mix_Quit) quit;
    decltype(&::Mix_OpenAudio) openAudio;
    decltype(&::Mix_CloseAudio) closeAudio;
    decltype(&::Mix_AllocateChannels) allocateChannels;
    decltype(&::Mix_PlayChannel) playChannel;
    decltype(&::Mix_Playing) playing;
    decltype(&::Mix_HaltChannel) haltChannel;
    decltype(&::Mix_LoadWAV_RW) loadWavRw;
    decltype(&::Mix_FreeChunk) freeChunk;
    decltype(&::Mix_LoadMUS) loadMus;
    decltype(&::Mix_FreeMusic) freeMusic;
    decltype(&::Mix_PlayMusic) playMusic;
    decltype(&::Mix_HaltMusic) haltMusic;
    decltype(&::Mix_PauseMusic) pauseMusic;
    decltype(&::Mix_ResumeMusic) resumeMusic;
};

// Open the library on the first call, from any thread; nullptr when it
// cannot be opened.
const CurlLibrary* curlLibrary();
const MixerLibrary* mixerLibrary();
// Opens libcurl on a thread of its own, once, so that the first word of the
// first quiz does not wait for it; called once the first window is drawn.
void preloadCurlLibrary();

}  // namespace qtport
