// Text services. Scans step over GBK characters as units, so a match can only
// begin at the start of a character and a trail byte is never mistaken for an
// ASCII byte of the same value.
#include "runtime/text.h"

#include <charconv>
#include <cstring>

namespace {

unsigned char lowerAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// Does needle match text at the 0-based offset?
bool matchesAt(const Text& text, std::size_t at, const Text& needle, bool ignoreCase) {
    if (needle.size() > text.size() - at) return false;
    if (!ignoreCase) return std::memcmp(text.data() + at, needle.data(), needle.size()) == 0;
    for (std::size_t i = 0; i < needle.size(); ++i) {
        if (lowerAscii(static_cast<unsigned char>(text[at + i])) !=
            lowerAscii(static_cast<unsigned char>(needle[i])))
            return false;
    }
    return true;
}

// The 0-based offset of the next match at a character start, scanning from
// the offset at (itself taken as a character start), or npos.
std::size_t findFrom(const Text& text, const Text& needle, std::size_t at, bool ignoreCase) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    const unsigned char first = ignoreCase ? lowerAscii(static_cast<unsigned char>(needle[0]))
                                           : static_cast<unsigned char>(needle[0]);
    while (at < size && needle.size() <= size - at) {
        unsigned char c = bytes[at];
        if ((ignoreCase ? lowerAscii(c) : c) == first && matchesAt(text, at, needle, ignoreCase)) return at;
        at += (isLeadByte(c) && at + 1 < size) ? 2 : 1;
    }
    return Text::npos;
}

}  // namespace

Text leftText(const Text& text, int n) {
    if (n <= 0) return Text();
    if (static_cast<std::size_t>(n) >= text.size()) return text;
    return text.substr(0, static_cast<std::size_t>(n));
}

int findText(const Text& text, const Text& needle, int start, bool ignoreCase) {
    if (needle.empty()) return text.empty() ? -1 : 1;
    std::size_t at = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    std::size_t found = findFrom(text, needle, at, ignoreCase);
    return found == Text::npos ? -1 : static_cast<int>(found + 1);
}

Text replaceText(const Text& text, const Text& find, const Text& replacement, int start, int count,
                 bool caseSensitive) {
    if (text.empty() || find.empty()) return text;
    std::size_t at = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (at >= text.size()) return text;
    Text result = text.substr(0, at);
    result.reserve(text.size());
    while (count != 0) {
        std::size_t found = findFrom(text, find, at, !caseSensitive);
        if (found == Text::npos) break;
        result.append(text, at, found - at);
        result += replacement;
        at = found + find.size();
        if (count > 0) --count;
    }
    if (at < text.size()) result.append(text, at, Text::npos);
    return result;
}

TextArray splitText(const Text& text, const Text& separator, int maxPieces) {
    TextArray pieces;
    if (text.empty() || maxPieces == 0) return pieces;
    if (separator.empty()) {
        pieces.push_back(text);
        return pieces;
    }
    // Count first: one allocation for the array instead of repeated moves of
    // every piece as it grows (banks can hold a great many lines).
    std::size_t count = 1;
    for (std::size_t at = findFrom(text, separator, 0, false); at != Text::npos;
         at = findFrom(text, separator, at + separator.size(), false))
        ++count;
    if (maxPieces > 0 && count > static_cast<std::size_t>(maxPieces))
        count = static_cast<std::size_t>(maxPieces);
    pieces.reserve(count);
    std::size_t at = 0;
    for (;;) {
        std::size_t found = findFrom(text, separator, at, false);
        if (found == Text::npos) break;
        pieces.emplace_back(text, at, found - at);
        if (maxPieces > 0 && static_cast<int>(pieces.size()) >= maxPieces) return pieces;
        at = found + separator.size();
    }
    if (at < text.size()) pieces.emplace_back(text, at, Text::npos);
    return pieces;
}

Text spaces(int n) {
    return n < 1 ? Text() : Text(static_cast<std::size_t>(n), ' ');
}

Text toText(int value) {
    return std::to_string(value);
}

Text toText(long long value) {
    return std::to_string(value);
}

// What "%.13g" gives in the C locale, whatever locale the toolkit has set:
// printf would write "66,66666666667" under a comma-decimal locale.
Text toText(double value) {
    char buffer[64];
    std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
    return Text(buffer, written.ptr);
}

std::string textToBytes(const Text& text) {
    return text;
}
