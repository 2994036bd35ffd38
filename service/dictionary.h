// The English-Chinese word list: one line per word and part of speech,
// "word<TAB>pos<TAB>meaning;meaning;...", UTF-8.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace service {

struct Meaning {
    std::string partOfSpeech;  // "n.", "v.", "adj." ...
    std::vector<std::string> senses;
};

using Dictionary = std::unordered_map<std::string, std::vector<Meaning>>;

// Adds the lines of the file to the dictionary; false when it cannot be read.
bool loadDictionary(const std::string& path, Dictionary& dictionary);
// Adds one line; malformed lines are skipped.
void addDictionaryLine(const std::string& line, Dictionary& dictionary);

// The meanings of a word: as written, then in lower case, then its likely
// base form (plural, past tense, -ing) and American spelling. Empty when
// nothing is found.
std::vector<Meaning> lookupMeanings(const Dictionary& dictionary, const std::string& word);

}  // namespace service
