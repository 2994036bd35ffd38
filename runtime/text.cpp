// Text services. Scans step over GBK characters as units, so a match can only
// begin at the start of a character and a trail byte is never mistaken for an
// ASCII byte of the same value.
#include "runtime/text.h"

#include <cstdio>
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

// Byte count of the character that begins at the 0-based offset (a lead byte
// at the very end counts as one byte).
std::size_t characterSize(const Text& text, std::size_t at) {
    if (isLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size()) return 2;
    return 1;
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
    while (at < text.size()) {
        if (matchesAt(text, at, needle, ignoreCase)) return static_cast<int>(at + 1);
        at += characterSize(text, at);
    }
    return -1;
}

Text replaceText(const Text& text, const Text& find, const Text& replacement, int start, int count,
                 bool caseSensitive) {
    if (text.empty() || find.empty()) return text;
    std::size_t at = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (at >= text.size()) return text;
    Text result = text.substr(0, at);
    result.reserve(text.size());
    while (at < text.size() && count != 0) {
        if (matchesAt(text, at, find, !caseSensitive)) {
            result += replacement;
            at += find.size();
            if (count > 0) --count;
        } else {
            std::size_t size = characterSize(text, at);
            result.append(text, at, size);
            at += size;
        }
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
    std::size_t pieceStart = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        if (matchesAt(text, at, separator, false)) {
            pieces.push_back(text.substr(pieceStart, at - pieceStart));
            if (maxPieces > 0 && static_cast<int>(pieces.size()) >= maxPieces) return pieces;
            at += separator.size();
            pieceStart = at;
        } else {
            at += characterSize(text, at);
        }
    }
    if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
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

Text toText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.13g", value);
    return buffer;
}

std::string textToBytes(const Text& text) {
    return text;
}
