// extractBetween on hostile text. The first two lines are the left and right
// patterns (cut short: the program's own patterns are short and fixed, so
// the text is what must not hurt), the rest is the text searched.
#include <cstdint>

#include "lookup/extract.h"

namespace {

constexpr std::size_t kMaxPatternLength = 16;

Text takeLine(Text& input) {
    std::size_t end = input.find('\n');
    Text line = input.substr(0, end);
    input.erase(0, end == Text::npos ? input.size() : end + 1);
    return line.substr(0, kMaxPatternLength);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Text input(reinterpret_cast<const char*>(data), size);
    Text left = takeLine(input);
    Text right = takeLine(input);
    Text piece = extractBetween(input, left, right);
    if (piece.size() > input.size()) __builtin_trap();
    return 0;
}
