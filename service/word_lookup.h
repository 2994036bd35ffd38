// What the dictionary page shows for a word or phrase: its transcription in
// the notation of British learners' dictionaries and its meanings.
#pragma once

#include <string>
#include <vector>

#include "service/dictionary.h"

namespace service {

struct WordPage {
    std::string phonetic;  // UTF-8 IPA without brackets; empty when none can be trusted
    std::vector<Meaning> meanings;
};

// The word list's transcription; for a phrase without one, its words'
// transcriptions joined; otherwise espeak-ng's (live or from the table).
WordPage lookupWord(const Dictionary& dictionary, const std::string& text);

}  // namespace service
