// The pronunciation player: fixed media command strings, sent one by one.
// The branch tests are exact ("mp3" or "MP3", "cd" or "CD"); any other
// spelling sends nothing. Every result lands in mediaResult; a failed
// command does not stop the next one.
#include "lookup/media_player.h"

#include "app/quiz_state.h"
#include "runtime/platform.h"

namespace {

bool isCdType() {
    return mediaType == "CD" || mediaType == "cd";
}
bool isFileType() {
    return mediaType == "MP3" || mediaType == "mp3";
}

void send(const Text& command) {
    mediaResult = platform().sendMediaCommand(command);
}

// A blank would split the command's words, so such a path is quoted; any
// other path goes out as it is.
Text commandPath(const Text& path) {
    if (path.find(' ') == Text::npos) return path;
    return "\"" + path + "\"";
}

}  // namespace

void setMediaType(const Text& kind) {
    mediaType = kind;
}

int openMedia(const Text& timeFormat) {
    if (isCdType()) send("open cdaudio alias cd wait");
    if (isFileType()) send("open mp3file Alias sonido");
    if (timeFormat == "毫秒") send("set cd time format tmsf wait");
    return mediaResult;
}

int playMedia(const Text& path) {
    if (isCdType()) send("play cd");
    if (isFileType()) {
        send("Open " + commandPath(path) + " Alias MM");
        send("play MM");
    }
    return mediaResult;
}

int stopMedia(int mode) {
    if (isCdType()) {
        send("stop cd wait");
        if (mode == 1) send("close cd");
    }
    if (isFileType()) {
        if (mode == 1) {
            send("Stop MM");
            send("close MM");
        } else {
            send("Pause MM");
        }
    }
    return mediaResult;
}
