// British IPA transcriptions of the words the dictionary page shows.
#pragma once

#include <string>

namespace service {

// Prepares the transcriber. False on failure, with a message in error.
bool initTranscriber(std::string& error);

// IPA for UTF-8 text, words separated by blanks.
std::string ipaTranscription(const std::string& utf8);

}  // namespace service
