// The two web-service hosts ("host[:port]"): built-in defaults that an
// optional settings file beside the program may override.
#pragma once

#include "runtime/text.h"

extern const char* const kDefaultDictionaryHost;
extern const char* const kDefaultSpeechHost;
extern const char* const kSettingsFileName;
// The port of the offline service that the built-in hosts name.
extern const int kBuiltInServicePort;

void loadHostSettings();  // reads programFolder() + "\" + kSettingsFileName
Text dictionaryHost();
Text speechHost();
// Either host is still the built-in one, so the offline service is needed.
bool builtInServiceInUse();
// Parses settings text; false (and no change) when it is malformed.
bool parseHostSettings(const Text& content, Text& dictionary, Text& speech);
