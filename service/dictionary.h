// The English-Chinese word list the service answers from, made from ECDICT
// by tools/make_ecdict_data.py: UTF-8, one entry per line,
// "word<TAB>phonetic<TAB>lemma<TAB>label=sense;sense<TAB>...", sorted by the
// bytes of the word.
#pragma once

#include <string>
#include <vector>

#include "service/sorted_lines.h"

namespace service {

struct Meaning {
    std::string partOfSpeech;  // "n.", "adj.", a domain such as "[医]", or empty
    std::vector<std::string> senses;
};

// The file's entries, in word order.
using Dictionary = SortedLines;

// An entry as the page shows it: ECDICT's raw transcription (empty when it
// has none) and the meanings in their order.
struct DictionaryEntry {
    bool found = false;
    std::string phonetic;
    std::vector<Meaning> meanings;
};

// Reads the file into the dictionary; false when it cannot be read or is too
// large to be a word list.
bool loadDictionary(const std::string& path, Dictionary& dictionary);
// Takes the text of a word list; lines that are not entries are skipped.
void loadDictionaryText(std::string text, Dictionary& dictionary);

// The entry for a word: as written, then in lower case. An inflected form
// whose own entry only names its headword ("run的过去式") also gets the
// headword's meanings; a form without any entry gets the headword's meanings
// found by its likely base form and American spelling.
DictionaryEntry lookupEntry(const Dictionary& dictionary, const std::string& word);
std::vector<Meaning> lookupMeanings(const Dictionary& dictionary, const std::string& word);

}  // namespace service
