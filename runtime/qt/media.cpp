#include "runtime/qt/media.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <map>
#include <vector>

#include "runtime/qt/audio_device.h"
#include "runtime/qt/qt_text.h"

namespace qtport {

namespace {

struct OpenMedia {
    Mix_Music* music = nullptr;
    bool paused = false;
};

std::map<Text, OpenMedia> openByAlias;  // alias in lower case
Text aliasInMixer;                      // the alias whose music the mixer holds, empty when none

Text lowerAscii(Text text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Words separated by blanks; a word in double quotes may hold blanks.
std::vector<Text> splitWords(const Text& command) {
    std::vector<Text> words;
    std::size_t i = 0;
    while (i < command.size()) {
        char c = command[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
        } else if (c == '"') {
            std::size_t close = command.find('"', i + 1);
            if (close == Text::npos) close = command.size();
            words.push_back(command.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            std::size_t end = command.find_first_of(" \t\r\n", i);
            if (end == Text::npos) end = command.size();
            words.push_back(command.substr(i, end - i));
            i = end;
        }
    }
    return words;
}

// A file names a folder or has an extension; a bare word is a device name.
bool looksLikeFile(const Text& element) {
    return element.find_first_of("\\/.") != Text::npos;
}

void haltIfInMixer(const Text& alias) {
    if (aliasInMixer == alias) {
        mixer().haltMusic();
        aliasInMixer.clear();
    }
}

int openCommand(const std::vector<Text>& words) {
    if (words.size() < 2) return kMediaMissingDeviceName;
    const Text& element = words[1];
    Text alias = lowerAscii(element);
    for (std::size_t i = 2; i < words.size(); ++i) {
        Text keyword = lowerAscii(words[i]);
        if (keyword == "alias" && i + 1 < words.size()) {
            alias = lowerAscii(words[++i]);
        } else if (keyword == "type" && i + 1 < words.size()) {
            ++i;
        } else if (keyword != "wait" && keyword != "notify" && keyword != "shareable") {
            return kMediaUnrecognizedKeyword;
        }
    }
    if (openByAlias.count(alias) != 0) return kMediaDuplicateAlias;
    // Only files are played here: no CD audio or other devices.
    if (!looksLikeFile(element)) return kMediaInvalidDeviceName;
    QString path = localPath(element);
    if (!QFileInfo(path).isFile()) return kMediaFileNotFound;
    if (!audioReady()) return kMediaHardware;
    Mix_Music* music = mixer().loadMus(QFile::encodeName(path).constData());
    if (music == nullptr) return kMediaInvalidFile;
    openByAlias[alias] = OpenMedia{music, false};
    return 0;
}

int deviceCommand(const Text& verb, const Text& alias, OpenMedia& media) {
    if (verb == "play") {
        if (aliasInMixer == alias && media.paused) {
            mixer().resumeMusic();
        } else if (mixer().playMusic(media.music, 0) != 0) {
            return kMediaHardware;
        }
        aliasInMixer = alias;
        media.paused = false;
        return 0;
    }
    if (verb == "stop") {
        haltIfInMixer(alias);
        media.paused = false;
        return 0;
    }
    if (verb == "pause") {
        if (aliasInMixer == alias) mixer().pauseMusic();
        media.paused = aliasInMixer == alias;
        return 0;
    }
    if (verb == "resume") {
        if (aliasInMixer == alias) mixer().resumeMusic();
        media.paused = false;
        return 0;
    }
    if (verb == "close") {
        haltIfInMixer(alias);
        mixer().freeMusic(media.music);
        openByAlias.erase(alias);
        return 0;
    }
    if (verb == "set" || verb == "status" || verb == "seek") return 0;
    return kMediaUnrecognizedCommand;
}

}  // namespace

int sendMediaCommand(const Text& command) {
    std::vector<Text> words = splitWords(command);
    if (words.empty()) return kMediaMissingCommandString;
    Text verb = lowerAscii(words[0]);
    if (verb == "open") return openCommand(words);
    if (words.size() < 2) return kMediaMissingDeviceName;
    Text alias = lowerAscii(words[1]);
    if (verb == "close" && alias == "all") {
        closeAllMedia();
        return 0;
    }
    auto found = openByAlias.find(alias);
    if (found == openByAlias.end()) return kMediaInvalidDeviceName;
    return deviceCommand(verb, alias, found->second);
}

void closeAllMedia() {
    if (!aliasInMixer.empty()) mixer().haltMusic();
    aliasInMixer.clear();
    for (auto& [alias, media] : openByAlias) mixer().freeMusic(media.music);
    openByAlias.clear();
}

}  // namespace qtport
