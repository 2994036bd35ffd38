// The dictionary and speech hosts. Both default to the local offline
// service; vorbelzoz.ini beside the program may point them elsewhere:
//
//   ; comment            # comment too
//   dictionary = dict.example.org
//   speech = 127.0.0.1:8080
//   voice = rms          (read by the offline service: the voice it speaks with)
//
// Any key may be left out. A file with anything else in it (an unknown
// key, a line without "=", an empty or odd host, a port outside 1..65535)
// is ignored as a whole, so a typo never leaves one host half-configured.
#include "lookup/hosts.h"

#include "runtime/files.h"

const char* const kDefaultDictionaryHost = "127.0.0.1:47800";
const char* const kDefaultSpeechHost = "127.0.0.1:47800";
const char* const kSettingsFileName = "vorbelzoz.ini";
const int kBuiltInServicePort = 47800;

namespace {

Text currentDictionaryHost = kDefaultDictionaryHost;
Text currentSpeechHost = kDefaultSpeechHost;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

Text trimmed(const Text& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool isHostNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

bool isValidPort(const Text& port) {
    if (port.empty() || port.size() > 5) return false;
    int value = 0;
    for (char c : port) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535;
}

// A voice name as the offline service knows them: letters, digits, "_".
bool isVoiceName(const Text& value) {
    if (value.empty() || value.size() > 32) return false;
    for (char c : value) {
        if (!isHostNameChar(c) || c == '.' || c == '-') return false;
    }
    return true;
}

// host[:port] with a plain DNS name or IPv4 address.
bool isValidHost(const Text& value) {
    std::size_t colon = value.find(':');
    Text name = value.substr(0, colon);
    if (name.empty()) return false;
    for (char c : name) {
        if (!isHostNameChar(c)) return false;
    }
    if (colon == Text::npos) return true;
    return isValidPort(value.substr(colon + 1));
}

}  // namespace

bool parseHostSettings(const Text& content, Text& dictionary, Text& speech) {
    Text newDictionary = dictionary;
    Text newSpeech = speech;
    std::size_t lineStart = 0;
    while (lineStart <= content.size()) {
        std::size_t lineEnd = content.find('\n', lineStart);
        if (lineEnd == Text::npos) lineEnd = content.size();
        Text line = content.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = trimmed(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;

        std::size_t equals = line.find('=');
        if (equals == Text::npos) return false;
        Text key = trimmed(line.substr(0, equals));
        Text value = trimmed(line.substr(equals + 1));
        if (key == "voice") {
            if (!isVoiceName(value)) return false;
            continue;
        }
        if (!isValidHost(value)) return false;
        if (key == "dictionary") {
            newDictionary = value;
        } else if (key == "speech") {
            newSpeech = value;
        } else {
            return false;
        }
    }
    dictionary = newDictionary;
    speech = newSpeech;
    return true;
}

void loadHostSettings() {
    currentDictionaryHost = kDefaultDictionaryHost;
    currentSpeechHost = kDefaultSpeechHost;
    bool ok = false;
    Bytes content = readFileBytes(programFolder() + "\\" + kSettingsFileName, ok);
    if (!ok || content.find('\0') != Bytes::npos) return;
    // Windows editors save the file with a UTF-8 byte-order mark.
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);
    parseHostSettings(content, currentDictionaryHost, currentSpeechHost);
}

Text dictionaryHost() {
    return currentDictionaryHost;
}
Text speechHost() {
    return currentSpeechHost;
}

bool builtInServiceInUse() {
    return currentDictionaryHost == kDefaultDictionaryHost || currentSpeechHost == kDefaultSpeechHost;
}
