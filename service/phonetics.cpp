// Placeholder until the notation rules land: passes transcriptions through.
#include "service/phonetics.h"

namespace service {

std::string textbookFromEcdict(const std::string& word, const std::string& field) {
    (void)word;
    return field;
}

std::string textbookFromEspeak(const std::string& espeakIpa) {
    return espeakIpa;
}

bool isTextbookIpa(const std::string& ipa) {
    return !ipa.empty();
}

}  // namespace service
