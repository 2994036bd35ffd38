// Transcriptions from a table made at build time with espeak-ng's British
// voice, for a platform where espeak-ng itself is not available. The table
// is "pronunciations.tsv" in "service-data" beside the executable: one
// "text<TAB>IPA" line per word or phrase, UTF-8.
//
// A text missing from the table is composed from its words when every word
// is in it; otherwise the transcription stays empty. An empty transcription
// is better than a guessed, wrong one.
#include <fstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "service/process.h"
#include "service/transcription.h"

namespace service {

namespace {

// Read only before serving starts, then shared by every request thread.
std::unordered_map<std::string, std::string> table;

// Bounds a line; a longer one is not a word list's line.
constexpr std::size_t kMaxLineBytes = 4096;

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i])) ++i;
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i])) ++i;
        if (i > start) out.push_back(text.substr(start, i - start));
    }
    return out;
}

// The entry for the text as written, then in lower case; null when neither.
const std::string* entry(const std::string& text) {
    auto found = table.find(text);
    if (found == table.end()) found = table.find(lowerAscii(text));
    return found == table.end() ? nullptr : &found->second;
}

}  // namespace

bool initTranscriber(std::string& error) {
    const std::string path = executableFolder() + "/service-data/pronunciations.tsv";
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    if (!in) {
        error = "cannot read the pronunciation table " + path;
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > kMaxLineBytes) continue;
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0 || tab + 1 == line.size()) continue;
        table.emplace(line.substr(0, tab), line.substr(tab + 1));
    }
    return true;
}

std::string ipaTranscription(const std::string& utf8) {
    if (const std::string* whole = entry(utf8)) return *whole;
    const std::vector<std::string> parts = words(utf8);
    std::string composed;
    for (const std::string& word : parts) {
        const std::string* ipa = entry(word);
        if (ipa == nullptr) return std::string();
        if (!composed.empty()) composed += ' ';
        composed += *ipa;
    }
    return composed;
}

}  // namespace service
