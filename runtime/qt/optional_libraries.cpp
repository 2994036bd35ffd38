#include "runtime/qt/optional_libraries.h"

#include <dlfcn.h>

#include <cstdio>
#include <mutex>
#include <thread>

namespace qtport {

namespace {

// Opens a library by its soname, the name the package installs it under.
class Loader {
public:
    explicit Loader(const char* soname) : soname_(soname), handle_(dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {
        if (handle_ == nullptr) complain(dlerror());
    }

    template <typename Function>
    void get(Function& function, const char* name) {
        function = nullptr;
        if (handle_ == nullptr) return;
        function = reinterpret_cast<Function>(dlsym(handle_, name));
        if (function == nullptr) {
            complain(dlerror());
            handle_ = nullptr;  // a library without one of its functions is of no use
        }
    }

    bool ok() const { return handle_ != nullptr; }

private:
    void complain(const char* detail) {
        if (complained_) return;
        complained_ = true;
        std::fprintf(stderr, "vorbelzoz: %s could not be loaded (%s); going on without it\n", soname_,
                     detail != nullptr ? detail : "unknown error");
    }

    const char* soname_;
    void* handle_;
    bool complained_ = false;
};

CurlLibrary curl;
bool curlLoaded = false;
std::once_flag curlOnce;

MixerLibrary mixer;
bool mixerLoaded = false;
std::once_flag mixerOnce;

void loadCurl() {
    Loader library("libcurl.so.4");
    library.get(curl.globalInit, "curl_global_init");
    library.get(curl.init, "curl_easy_init");
    library.get(curl.setopt, "curl_easy_setopt");
    library.get(curl.perform, "curl_easy_perform");
    library.get(curl.getinfo, "curl_easy_getinfo");
    library.get(curl.cleanup, "curl_easy_cleanup");
    library.get(curl.slistAppend, "curl_slist_append");
    library.get(curl.slistFreeAll, "curl_slist_free_all");
    curlLoaded = library.ok();
}

void loadMixer() {
    // SDL2_mixer brings SDL2 in; its functions are looked up through SDL2's
    // own handle.
    Loader mixing("libSDL2_mixer-2.0.so.0");
    if (!mixing.ok()) return;
    Loader sdl("libSDL2-2.0.so.0");
    sdl.get(mixer.setHint, "SDL_SetHint");
    sdl.get(mixer.initSubSystem, "SDL_InitSubSystem");
    sdl.get(mixer.quitSubSystem, "SDL_QuitSubSystem");
    sdl.get(mixer.rwFromConstMem, "SDL_RWFromConstMem");
    mixing.get(mixer.init, "Mix_Init");
    mixing.get(mixer.quit, "Mix_Quit");
    mixing.get(mixer.openAudio, "Mix_OpenAudio");
    mixing.get(mixer.closeAudio, "Mix_CloseAudio");
    mixing.get(mixer.allocateChannels, "Mix_AllocateChannels");
    mixing.get(mixer.playChannel, "Mix_PlayChannel");
    mixing.get(mixer.playing, "Mix_Playing");
    mixing.get(mixer.haltChannel, "Mix_HaltChannel");
    mixing.get(mixer.loadWavRw, "Mix_LoadWAV_RW");
    mixing.get(mixer.freeChunk, "Mix_FreeChunk");
    mixing.get(mixer.loadMus, "Mix_LoadMUS");
    mixing.get(mixer.freeMusic, "Mix_FreeMusic");
    mixing.get(mixer.playMusic, "Mix_PlayMusic");
    mixing.get(mixer.haltMusic, "Mix_HaltMusic");
    mixing.get(mixer.pauseMusic, "Mix_PauseMusic");
    mixing.get(mixer.resumeMusic, "Mix_ResumeMusic");
    mixerLoaded = mixing.ok() && sdl.ok();
}

}  // namespace

const CurlLibrary* curlLibrary() {
    std::call_once(curlOnce, loadCurl);
    return curlLoaded ? &curl : nullptr;
}

void preloadCurlLibrary() {
    static std::once_flag started;
    std::call_once(started, [] { std::thread([] { curlLibrary(); }).detach(); });
}

const MixerLibrary* mixerLibrary() {
    std::call_once(mixerOnce, loadMixer);
    return mixerLoaded ? &mixer : nullptr;
}

}  // namespace qtport
