// British phonetics in the notation of today's learners' dictionaries and
// Chinese textbooks: stress marks at the start of the syllable, "ː" for
// length, "eɪ aɪ ɔɪ aʊ əʊ ɪə eə ʊə", "ɜː ɔː ɑː", "ɡ". Both sources the
// service draws on (the dictionary's own field, and espeak-ng en-gb) write
// something else, so every transcription passes through here before a page
// shows it.
#pragma once

#include <string>

namespace service {

// The dictionary's phonetic field for word, in textbook notation without
// brackets; empty when the field is empty or cannot be made valid.
std::string textbookFromEcdict(const std::string& word, const std::string& field);

// espeak-ng's IPA for a text (its clauses joined by one blank), in textbook
// notation; empty when the result would not be valid.
std::string textbookFromEspeak(const std::string& espeakIpa);

// True when the text holds only the symbols British transcriptions use,
// words separated by single blanks.
bool isTextbookIpa(const std::string& ipa);

}  // namespace service
