#include "service/word_target.h"

#include "service/text_encoding.h"

namespace service {

namespace {

const std::string kSpeechPath = "/text2audio";

std::string decodeWord(const std::string& raw) {
    return cleanWord(toUtf8(percentDecode(raw)));
}

// Position of the value of name= at the start of the query or after a "&".
size_t findParameter(const std::string& query, const std::string& name) {
    const std::string key = name + "=";
    if (query.compare(0, key.size(), key) == 0) return key.size();
    const size_t at = query.find("&" + key);
    return at == std::string::npos ? std::string::npos : at + 1 + key.size();
}

int parseSpeed(const std::string& value) {
    if (value.empty() || value[0] < '0' || value[0] > '9') return 5;
    return value[0] - '0';
}

// Letters only, and short: the value only ever picks a voice.
std::string parseLanguage(const std::string& value) {
    const std::string language = value.substr(0, value.find('&'));
    if (language.size() > 8) return std::string();
    for (char c : language)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return std::string();
    return language;
}

}  // namespace

WordRequest parseWordTarget(const std::string& target) {
    WordRequest request;
    std::string path = target.substr(0, target.find('#'));
    const size_t question = path.find('?');
    if (question != kSpeechPath.size() || path.compare(0, question, kSpeechPath) != 0) {
        request.word = decodeWord(path.size() > 1 ? path.substr(1) : std::string());
        return request;
    }
    request.route = Route::Speech;
    const std::string query = path.substr(question + 1);
    const size_t textStart = findParameter(query, "text");
    if (textStart == std::string::npos) return request;
    const size_t languageStart = findParameter(query.substr(0, textStart), "lan");
    if (languageStart != std::string::npos) request.language = parseLanguage(query.substr(languageStart));
    const size_t speedAt = query.rfind("&spd=");
    size_t textEnd = query.size();
    if (speedAt != std::string::npos && speedAt >= textStart) {
        textEnd = speedAt;
        request.speed = parseSpeed(query.substr(speedAt + 5));
    }
    request.word = decodeWord(query.substr(textStart, textEnd - textStart));
    return request;
}

int wordsPerMinute(int speed) {
    if (speed < 0) speed = 0;
    if (speed > 9) speed = 9;
    return 100 + 15 * speed;
}

}  // namespace service
