// The service's reading of a request: the first line of the head, split into
// method, target and version, and the target read as a word to look up or
// speak.
#include <cstdint>

#include "service/request_line.h"
#include "service/text_encoding.h"
#include "service/word_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string head(reinterpret_cast<const char*>(data), size);
    service::RequestLine line;
    if (!service::parseRequestLine(service::firstLine(head), line)) return 0;
    if (line.target.empty() || line.target[0] != '/') __builtin_trap();

    service::WordRequest request = service::parseWordTarget(line.target);
    if (request.speed < 0 || request.speed > 9) __builtin_trap();
    for (char c : request.word) {
        // Control characters are blanked before a word reaches a page or a voice.
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) __builtin_trap();
    }
    if (!service::isValidUtf8(request.word)) __builtin_trap();
    service::wordsPerMinute(request.speed);
    return 0;
}
