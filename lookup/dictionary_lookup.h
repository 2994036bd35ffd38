#pragma once

#include "runtime/text.h"

extern const char* const kPhoneticFailureText;

Text dictionaryUrl(const Text& word);
void prepareWord(const Text& entry);
void showMeanings(const Text& meanings);
