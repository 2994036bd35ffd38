#include "service/settings_file.h"

#include <cstdio>
#include <fstream>

#include "service/process.h"
#include "service/speech_engine.h"

namespace service {

namespace {

std::string trimmed(const std::string& text) {
    const size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

bool isVoiceName(const std::string& value) {
    if (value.empty() || value.size() > 32) return false;
    for (char c : value)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

bool refuse(std::string& voice, std::string& problem, const std::string& why) {
    voice.clear();
    problem = why;
    return false;
}

}  // namespace

bool parseSettingsVoice(const std::string& text, std::string& voice, std::string& problem) {
    voice.clear();
    if (text.size() > kMaxSettingsBytes) return refuse(voice, problem, "the file is too long");
    if (text.find('\0') != std::string::npos) return refuse(voice, problem, "the file holds NUL bytes");
    const size_t bom = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    bool seen = false;
    size_t lineStart = bom;
    while (lineStart <= text.size()) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos) lineEnd = text.size();
        std::string line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = trimmed(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        const size_t equals = line.find('=');
        if (equals == std::string::npos) return refuse(voice, problem, "a line has no \"=\"");
        if (trimmed(line.substr(0, equals)) != "voice") continue;
        const std::string value = trimmed(line.substr(equals + 1));
        if (seen) return refuse(voice, problem, "the voice is named twice");
        if (!isVoiceName(value))
            return refuse(voice, problem, "the voice is not 1..32 letters, digits or \"_\"");
        voice = value;
        seen = true;
    }
    return true;
}

void choosePreferredVoice(const std::string& commandLineVoice, const std::string& settingsPath) {
    std::string voice = commandLineVoice;
    std::string source = "--voice";
    if (voice.empty()) {
        std::ifstream file(pathFromUtf8(settingsPath), std::ios::binary);
        if (!file) return;
        std::string text(kMaxSettingsBytes + 1, '\0');
        file.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<size_t>(file.gcount()));
        std::string problem;
        if (!parseSettingsVoice(text, voice, problem)) {
            std::fprintf(stderr, "vorbelzoz_service: %s: %s; speaking with the default voices\n",
                         settingsPath.c_str(), problem.c_str());
            return;
        }
        source = settingsPath;
    }
    if (voice.empty() || setPreferredVoice(voice)) return;
    std::fprintf(stderr,
                 "vorbelzoz_service: %s: no voice \"%s\" (there are %s); speaking with the default voices\n",
                 source.c_str(), voice.c_str(), speechVoiceNames().c_str());
}

}  // namespace service
