// Canned answers of the two web services for any word: a dictionary page in
// the site's shape and a small MP3 from the speech service.
#pragma once

#include "fake_platform.h"

// UTF-8 page with the British phonetics "[<word>]" behind "<span>英 " and a
// meaning list "<li>n. <word>的意思</li>" in a <ul class="">.
Bytes dictionaryPage(const Text& word);
// GBK HTML that the lookup cuts out of dictionaryPage(word).
Text meaningHtmlOf(const Text& word);
Bytes pronunciationMp3(const Text& word);
// Answers every request: "/text2audio..." with the MP3 of its text, any
// other object "/<word>" with that word's page.
void serveWords(FakePlatform& fake);
