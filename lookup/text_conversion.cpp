// Conversions between UTF-8, UTF-16LE byte strings and GBK texts. Each one
// measures first, then converts into a prepared buffer, so a failed
// conversion hands back that buffer untouched (zeros, or blanks for texts).
// Counts pass through the conversion functions as int and byte strings are
// measured in int: an input or result too large for that gives the empty
// result rather than a wrapped size.
#include "lookup/text_conversion.h"

#include <climits>
#include <string>

namespace {

constexpr std::size_t kIntMax = INT_MAX;

// The input as the conversion functions see it: up to the first zero byte.
Bytes untilZeroByte(const Bytes& data) {
    return bytesToText(data);
}

Bytes multiByteToUtf16(const Bytes& data, int codePage) {
    const Bytes input = untilZeroByte(data);
    // The terminator is read too, so the input with it must fit an int.
    if (input.empty() || input.size() >= kIntMax) return Bytes();
    // -1: read through the terminator, so the count includes the zero unit.
    int units = multiByteToWide(codePage, input.c_str(), -1, nullptr, 0);
    if (units <= 0 || static_cast<std::size_t>(units) > kIntMax / 2) return Bytes();
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    multiByteToWide(codePage, input.c_str(), -1, wide.data(), units);
    Bytes result(static_cast<std::size_t>(units) * 2, '\0');
    for (std::size_t i = 0; i < wide.size(); ++i) {
        result[2 * i] = static_cast<char>(wide[i] & 0xFF);
        result[2 * i + 1] = static_cast<char>(wide[i] >> 8);
    }
    return result;
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
    std::u16string units;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                              static_cast<unsigned char>(data[i + 1]) << 8);
        if (unit == 0) break;
        units += unit;
    }
    if (units.empty() || units.size() >= kIntMax) return Text();
    int size = wideToMultiByte(codePage, units.c_str(), -1, nullptr, 0);
    if (size <= 0 || static_cast<std::size_t>(size) > kIntMax / 2) return Text();
    Text buffer(static_cast<std::size_t>(size) * 2, ' ');
    wideToMultiByte(codePage, units.c_str(), -1, buffer.data(), size * 2);
    return bytesToText(buffer);
}

Text utf8ToGbk(const Text& utf8) {
    return utf16ToText(textToUtf16(utf8, kCodePageUtf8), kCodePageGbk);
}
