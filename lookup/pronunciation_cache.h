#pragma once

#include "runtime/text.h"

Text pronunciationUrl(const Text& word);
Text cacheFileName(const Text& word);       // safe file-name part, blanks as "_"
Text cachePronunciation(const Text& word);  // returns the cache name (full path)
