#include "service/dictionary.h"

#include <fstream>

#include "service/process.h"

namespace service {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string replaceTail(const std::string& text, size_t drop, const std::string& add) {
    return text.substr(0, text.size() - drop) + add;
}

// Base forms of an inflected word, likeliest first.
std::vector<std::string> inflectionBases(const std::string& w) {
    std::vector<std::string> forms;
    if (endsWith(w, "ies")) forms.push_back(replaceTail(w, 3, "y"));
    if (endsWith(w, "ves")) {
        forms.push_back(replaceTail(w, 3, "f"));
        forms.push_back(replaceTail(w, 3, "fe"));
    }
    if (endsWith(w, "es")) forms.push_back(replaceTail(w, 2, ""));
    if (endsWith(w, "s") && !endsWith(w, "ss")) forms.push_back(replaceTail(w, 1, ""));
    if (endsWith(w, "ied")) forms.push_back(replaceTail(w, 3, "y"));
    if (endsWith(w, "ed")) {
        forms.push_back(replaceTail(w, 2, ""));
        forms.push_back(replaceTail(w, 1, ""));
        if (w.size() > 4 && w[w.size() - 3] == w[w.size() - 4]) forms.push_back(replaceTail(w, 3, ""));
    }
    if (endsWith(w, "ing")) {
        forms.push_back(replaceTail(w, 3, ""));
        forms.push_back(replaceTail(w, 3, "e"));
        if (w.size() > 5 && w[w.size() - 4] == w[w.size() - 5]) forms.push_back(replaceTail(w, 4, ""));
    }
    return forms;
}

// The word list follows American spelling; the learners' banks are British.
std::string americanSpelling(const std::string& w) {
    if (endsWith(w, "our")) return replaceTail(w, 3, "or");
    if (endsWith(w, "ise")) return replaceTail(w, 3, "ize");
    if (endsWith(w, "isation")) return replaceTail(w, 7, "ization");
    if (endsWith(w, "tre")) return replaceTail(w, 3, "ter");
    if (endsWith(w, "ogue")) return replaceTail(w, 4, "og");
    return std::string();
}

// Forms to try after the word itself, likeliest first.
std::vector<std::string> baseForms(const std::string& w) {
    std::vector<std::string> forms = inflectionBases(w);
    std::vector<std::string> spelled;
    for (const std::string& form : forms) {
        const std::string american = americanSpelling(form);
        if (!american.empty()) spelled.push_back(american);
    }
    const std::string american = americanSpelling(w);
    if (!american.empty()) forms.insert(forms.begin(), american);
    forms.insert(forms.end(), spelled.begin(), spelled.end());
    return forms;
}

}  // namespace

void addDictionaryLine(const std::string& rawLine, Dictionary& dictionary) {
    std::string line = rawLine;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> fields = split(line, '\t');
    if (fields.size() != 3 || fields[0].empty() || fields[2].empty()) return;
    Meaning meaning{fields[1], {}};
    for (const std::string& sense : split(fields[2], ';'))
        if (!sense.empty()) meaning.senses.push_back(sense);
    if (!meaning.senses.empty()) dictionary[fields[0]].push_back(std::move(meaning));
}

bool loadDictionary(const std::string& path, Dictionary& dictionary) {
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) addDictionaryLine(line, dictionary);
    return !in.bad();
}

std::vector<Meaning> lookupMeanings(const Dictionary& dictionary, const std::string& word) {
    auto find = [&dictionary](const std::string& key) -> const std::vector<Meaning>* {
        const auto it = dictionary.find(key);
        return it == dictionary.end() ? nullptr : &it->second;
    };
    if (word.empty()) return {};
    if (const auto* found = find(word)) return *found;
    const std::string lower = lowerAscii(word);
    if (const auto* found = find(lower)) return *found;
    for (const std::string& form : baseForms(lower))
        if (const auto* found = find(form)) return *found;
    return {};
}

}  // namespace service
