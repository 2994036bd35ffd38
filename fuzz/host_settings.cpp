// The settings file's parser. Whatever the file holds, an accepted host is
// only a host name or address with an optional port: it can never bring in a
// scheme, a path or a blank.
#include <cstdint>

#include "lookup/hosts.h"

namespace {

bool isHostText(const Text& host) {
    if (host.empty()) return false;
    for (char c : host) {
        bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '-' || c == '_' || c == ':';
        if (!allowed) return false;
    }
    return host.find(':') == host.rfind(':');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text content(reinterpret_cast<const char*>(data), size);
    Text dictionary = kDefaultDictionaryHost;
    Text speech = kDefaultSpeechHost;
    bool accepted = parseHostSettings(content, dictionary, speech);
    if (!accepted && (dictionary != kDefaultDictionaryHost || speech != kDefaultSpeechHost)) __builtin_trap();
    if (!isHostText(dictionary) || !isHostText(speech)) __builtin_trap();
    return 0;
}
