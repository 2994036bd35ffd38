// British transcriptions as today's Oxford and Cambridge learners'
// dictionaries print them, made from ECDICT's phonetic field or from
// espeak-ng's phonemes. UTF-8 in and out; an empty result means "nothing
// fit to show".
#pragma once

#include <string>

namespace service {

// ECDICT's phonetic field for word in the target notation; empty when the
// field holds nothing usable, so that the caller falls back to espeak-ng.
std::string phoneticFromDictionary(const std::string& word, const std::string& field);

// espeak-ng's en-gb IPA (clauses joined by one blank) in the target notation.
std::string phoneticFromEspeak(const std::string& ipa);

// True when text holds only the target symbols, stress marks before
// syllables and single blanks between words.
bool isBritishTranscription(const std::string& text);

}  // namespace service
