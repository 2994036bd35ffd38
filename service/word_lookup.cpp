#include "service/word_lookup.h"

#include "service/phonetic_notation.h"
#include "service/service_routes.h"
#include "service/text_encoding.h"
#include "service/transcription.h"

namespace service {

namespace {

// A phrase is composed from at most this many words; a longer text is
// transcribed as a whole.
constexpr std::size_t kMaxComposedWords = 8;

std::string listedPhonetic(const std::string& word, const DictionaryEntry& entry) {
    if (!entry.found) return std::string();
    return phoneticFromDictionary(word, entry.phonetic);
}

std::string composedPhonetic(const Dictionary& dictionary, const std::string& text) {
    const std::vector<std::string> parts = blankSeparatedWords(text);
    if (parts.size() < 2 || parts.size() > kMaxComposedWords) return std::string();
    std::string joined;
    for (const std::string& word : parts) {
        const std::string phonetic = listedPhonetic(word, lookupEntry(dictionary, word));
        if (phonetic.empty()) return std::string();
        if (!joined.empty()) joined += ' ';
        joined += phonetic;
    }
    return joined;
}

}  // namespace

WordPage lookupWord(const Dictionary& dictionary, const std::string& text) {
    const DictionaryEntry entry = lookupEntry(dictionary, text);
    WordPage page{listedPhonetic(text, entry), entry.meanings};
    if (page.phonetic.empty()) page.phonetic = composedPhonetic(dictionary, text);
    if (page.phonetic.empty())
        page.phonetic = phoneticFromEspeak(ipaTranscription(clipUtf8(text, kMaxSpokenBytes)));
    return page;
}

}  // namespace service
