#include "service/dictionary_page.h"

#include "service/text_encoding.h"

namespace service {

namespace {

// "英" and the Chinese semicolon, in UTF-8 whatever the compiler's charset.
const char kBritish[] = "\xE8\x8B\xB1";
const char kSenseSeparator[] = "\xEF\xBC\x9B";

// The transcription must not end the span early or open a tag of its own.
std::string plainTranscription(const std::string& ipa) {
    std::string out;
    for (char c : ipa)
        if (c != '<' && c != '>' && c != '&' && c != '[' && c != ']') out += c;
    return out;
}

std::string pageStart(const std::string& title) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title +
           "</title></head>\n<body>\n";
}

}  // namespace

std::string renderDictionaryPage(const std::string& word, const std::string& ipa,
                                 const std::vector<Meaning>& meanings) {
    const std::string escaped = htmlEscape(word);
    std::string page = pageStart(escaped);
    page += "<h1>" + escaped + "</h1>\n";
    page += "<p><span>" + std::string(kBritish) + " [" + plainTranscription(ipa) + "]</span></p>\n";
    if (!meanings.empty()) {
        page += "<ul class=\"\">\n";
        for (const Meaning& meaning : meanings) {
            page += "<li>";
            // A line without a label ("run的过去式") shows its text alone.
            if (!meaning.partOfSpeech.empty()) page += "<b>" + htmlEscape(meaning.partOfSpeech) + "</b> ";
            for (size_t i = 0; i < meaning.senses.size(); ++i) {
                if (i > 0) page += kSenseSeparator;
                page += htmlEscape(meaning.senses[i]);
            }
            page += "</li>\n";
        }
        page += "</ul>\n";
    }
    page += "</body></html>\n";
    return page;
}

std::string renderNoWordPage() {
    return pageStart("") + "<p>No word given.</p>\n</body></html>\n";
}

}  // namespace service
