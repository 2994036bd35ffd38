// The HTML page served for a word. The quiz program cuts two things out of
// it: the British transcription after "<span>英 " up to the next "</span>",
// and the meaning list between the first "class=" + two characters + ">" and
// "</ul>". So the page holds no other class attribute, and every text from the
// request is HTML-escaped so that a word can never forge either marker.
#pragma once

#include <string>
#include <vector>

#include "service/dictionary.h"

namespace service {

// word and ipa in UTF-8. Without meanings the page has no list.
std::string renderDictionaryPage(const std::string& word, const std::string& ipa,
                                 const std::vector<Meaning>& meanings);

// The page for a target that names no word.
std::string renderNoWordPage();

}  // namespace service
