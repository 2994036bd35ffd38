// Conversions between UTF-8, UTF-16LE byte strings and GBK texts. Each one
// measures first, then converts into a prepared buffer, so a failed
// conversion hands back that buffer untouched (zeros, or blanks for texts).
// Counts pass through the conversion functions as int and byte strings are
// measured in int: an input or result too large for that gives the empty
// result rather than a wrapped size.
#include "lookup/text_conversion.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kIntMax = INT_MAX;

// Texts here come from pages of a few MiB at most. Half a GiB or more is
// refused before any work: below it, no count on the way can pass an int
// (a byte gives at most one UTF-16 unit, a unit at most three bytes), and a
// hostile input costs no conversion pass at all.
constexpr std::size_t kLargestInput = std::size_t{1} << 29;

Bytes multiByteToUtf16(const Bytes& data, int codePage) {
    // The input as the conversion functions see it: up to the first zero
    // byte, which c_str() always supplies.
    const char* input = data.c_str();
    const std::size_t searched = std::min(data.size(), kLargestInput);
    const void* zero = std::memchr(input, 0, searched);
    const std::size_t length = zero ? static_cast<const char*>(zero) - input : searched;
    if (length == 0 || length >= kLargestInput) return Bytes();
    // -1: read through the terminator, so the count includes the zero unit.
    int units = multiByteToWide(codePage, input, -1, nullptr, 0);
    if (units <= 0 || static_cast<std::size_t>(units) > kIntMax / 2) return Bytes();
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    multiByteToWide(codePage, input, -1, wide.data(), units);
    Bytes result(static_cast<std::size_t>(units) * 2, '\0');
    for (std::size_t i = 0; i < wide.size(); ++i) {
        result[2 * i] = static_cast<char>(wide[i] & 0xFF);
        result[2 * i + 1] = static_cast<char>(wide[i] >> 8);
    }
    return result;
}

// The number of whole little-endian code units before the first zero unit,
// searched no further than `limit` units. The search runs on memchr, so a
// long input costs little.
std::size_t unitsBeforeZeroUnit(const Bytes& data, std::size_t limit) {
    const std::string_view bytes(data.data(), std::min(data.size() / 2, limit) * 2);
    constexpr std::string_view kZeroUnit("\0\0", 2);
    for (std::size_t from = 0;;) {
        std::size_t found = bytes.find(kZeroUnit, from);
        if (found == std::string_view::npos) return bytes.size() / 2;
        if (found % 2 == 0) return found / 2;
        from = found + 1;  // a zero high byte followed by a zero low byte
    }
}

}  // namespace

Bytes utf8BytesToUtf16(const Bytes& data) {
    return multiByteToUtf16(data, kCodePageUtf8);
}

Bytes textToUtf16(const Text& text, int codePage) {
    return multiByteToUtf16(text, codePage);
}

Text utf16ToText(const Bytes& data, int codePage) {
    // Little-endian code units up to the first zero unit; an odd last byte
    // is no unit.
    const std::size_t count = unitsBeforeZeroUnit(data, kLargestInput);
    if (count == 0 || count >= kLargestInput) return Text();
    std::u16string units(count, u'\0');
    for (std::size_t i = 0; i < count; ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(data[2 * i]) |
                                         static_cast<unsigned char>(data[2 * i + 1]) << 8);
    int size = wideToMultiByte(codePage, units.c_str(), -1, nullptr, 0);
    if (size <= 0 || static_cast<std::size_t>(size) > kIntMax / 2) return Text();
    Text buffer(static_cast<std::size_t>(size) * 2, ' ');
    wideToMultiByte(codePage, units.c_str(), -1, buffer.data(), size * 2);
    return bytesToText(buffer);
}

Text utf8ToGbk(const Text& utf8) {
    return utf16ToText(textToUtf16(utf8, kCodePageUtf8), kCodePageGbk);
}
