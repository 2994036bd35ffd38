#include "service/dictionary.h"

#include <algorithm>
#include <string_view>

#include "service/text_encoding.h"

namespace service {

namespace {

// ECDICT's word list is about 40 MB; a file far beyond that is not one.
constexpr std::size_t kMaxFileBytes = 256u << 20;
// A longer line is not an entry; skipping it keeps one bad line from costing much.
constexpr std::size_t kMaxLineBytes = 64u << 10;
// A headword chain ends after this many steps even if the file loops.
constexpr int kMaxLemmaSteps = 2;

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string replaceTail(const std::string& text, size_t drop, const std::string& add) {
    return text.substr(0, text.size() - drop) + add;
}

// Base forms of an inflected word, likeliest first, for words the list does
// not link to a headword.
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

// Some learners' banks use spellings the list does not have.
std::string americanSpelling(const std::string& w) {
    if (endsWith(w, "our")) return replaceTail(w, 3, "or");
    if (endsWith(w, "ise")) return replaceTail(w, 3, "ize");
    if (endsWith(w, "isation")) return replaceTail(w, 7, "ization");
    if (endsWith(w, "tre")) return replaceTail(w, 3, "ter");
    if (endsWith(w, "ogue")) return replaceTail(w, 4, "og");
    return std::string();
}

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

// The fields of a line, or none when it is no entry.
std::vector<std::string_view> entryFields(std::string_view line) {
    if (line.empty() || line.size() > kMaxLineBytes) return {};
    std::vector<std::string_view> fields = split(line, '\t');
    if (fields.size() < 3 || fields[0].empty()) return {};
    return fields;
}

std::vector<Meaning> meaningsOf(const std::vector<std::string_view>& fields) {
    std::vector<Meaning> meanings;
    for (std::size_t i = 3; i < fields.size(); ++i) {
        const std::size_t equals = fields[i].find('=');
        if (equals == std::string_view::npos) continue;
        Meaning meaning{std::string(fields[i].substr(0, equals)), {}};
        for (std::string_view sense : split(fields[i].substr(equals + 1), ';'))
            if (!sense.empty()) meaning.senses.emplace_back(sense);
        if (!meaning.senses.empty()) meanings.push_back(std::move(meaning));
    }
    return meanings;
}

bool hasPartOfSpeech(const std::vector<Meaning>& meanings) {
    return std::any_of(meanings.begin(), meanings.end(), [](const Meaning& m) {
        return !m.partOfSpeech.empty() && m.partOfSpeech.front() != '[';
    });
}

DictionaryEntry entryAt(const Dictionary& d, const Dictionary::Line& line, int lemmaSteps) {
    const std::vector<std::string_view> fields = entryFields(lineAt(d, line));
    DictionaryEntry entry;
    if (fields.empty()) return entry;
    entry.found = true;
    entry.phonetic = std::string(fields[1]);
    entry.meanings = meaningsOf(fields);
    // "ran" says only "run的过去式": what the learner needs are run's meanings.
    const std::string_view lemma = fields[2];
    if (!lemma.empty() && lemmaSteps > 0 && !hasPartOfSpeech(entry.meanings)) {
        if (const Dictionary::Line* head = findLine(d, lemma)) {
            // The headword's own unlabelled lines ("run的过去式和过去分词") speak of
            // the headword, not of this form.
            for (Meaning& meaning : entryAt(d, *head, lemmaSteps - 1).meanings)
                if (!meaning.partOfSpeech.empty()) entry.meanings.push_back(std::move(meaning));
        }
    }
    if (entry.meanings.empty()) entry.found = !entry.phonetic.empty();
    return entry;
}

}  // namespace

void loadDictionaryText(std::string text, Dictionary& dictionary) {
    indexLines(
        std::move(text), [](std::string_view line) { return !entryFields(line).empty(); }, dictionary);
}

bool loadDictionary(const std::string& path, Dictionary& dictionary) {
    std::string text;
    if (!readWholeFile(path, kMaxFileBytes, text)) return false;
    loadDictionaryText(std::move(text), dictionary);
    return true;
}

DictionaryEntry lookupEntry(const Dictionary& d, const std::string& word) {
    if (word.empty()) return {};
    const std::string lower = lowerAscii(word);
    for (const std::string& key : {word, lower}) {
        if (const Dictionary::Line* line = findLine(d, key)) {
            DictionaryEntry entry = entryAt(d, *line, kMaxLemmaSteps);
            if (entry.found) return entry;
        }
    }
    for (const std::string& form : baseForms(lower)) {
        if (const Dictionary::Line* line = findLine(d, form)) {
            DictionaryEntry entry = entryAt(d, *line, kMaxLemmaSteps);
            // The base form's transcription is not the word's own.
            entry.phonetic.clear();
            if (!entry.meanings.empty()) return entry;
        }
    }
    return {};
}

std::vector<Meaning> lookupMeanings(const Dictionary& dictionary, const std::string& word) {
    return lookupEntry(dictionary, word).meanings;
}

}  // namespace service
