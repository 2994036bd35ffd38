// The reviewed transcriptions of the common words whose ECDICT field no
// rule can mend (plain errors, American forms).
#pragma once

#include <string_view>

namespace service {

// The transcription for word, or nullptr when the table has none.
const char* phoneticOverride(std::string_view word);

}  // namespace service
