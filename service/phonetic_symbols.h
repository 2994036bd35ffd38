// The symbols of the learners'-dictionary notation and the rules both
// phonetic sources share once their text is split into symbols: where the
// stress marks go, which i, u and schwa the dictionaries print, and the
// syllabic l and n.
#pragma once

#include <string>
#include <vector>

namespace service {

using PhoneticSymbol = std::u32string;
// One word's symbols, stress marks included.
using PhoneticWord = std::vector<PhoneticSymbol>;

// Undecided vowels the sources write alike and the dictionaries do not:
// short i (ɪ, or i at the end and before a vowel), short u (ʊ or u), and
// iə/uə (ɪə/ʊə in a stressed syllable, i+ə/u+ə elsewhere).
inline const PhoneticSymbol kShortI = U"I";
inline const PhoneticSymbol kShortU = U"U";
inline const PhoneticSymbol kIThenSchwa = U"Iə";
inline const PhoneticSymbol kUThenSchwa = U"Uə";
inline const PhoneticSymbol kPrimary = U"ˈ";
inline const PhoneticSymbol kSecondary = U"ˌ";

bool isPhoneticVowel(const PhoneticSymbol& s);  // target vowels and the undecided ones
bool isPhoneticConsonant(const PhoneticSymbol& s);

// Applies the shared rules to a word. moveStress: the marks stand right
// before their vowel (espeak-ng) and go to the start of the syllable.
void finishPhoneticWord(PhoneticWord& word, bool moveStress);

// The finished words joined by blanks, in UTF-8; empty when the result is not
// a clean transcription.
std::string joinPhoneticWords(std::vector<PhoneticWord> words, bool moveStress);

}  // namespace service
