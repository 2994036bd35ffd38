// Code-page conversion. On Windows the system functions do the work; elsewhere
// this file reproduces what they do for the two code pages the program uses:
// 936 (GBK, the program's own, mapped with iconv's CP936 table plus what
// Windows adds: the user-defined areas in the Private Use Area and 0xFF as
// U+F8F5; anything else becomes '?', one per UTF-16 unit) and 65001 (UTF-8,
// where every ill-formed sequence becomes one U+FFFD per maximal subpart, as
// Unicode recommends, and a lone surrogate is written as U+FFFD).
//
// This is the only platform-dependent file outside the backends.
#include "runtime/codepage.h"

#include <climits>
#include <cstring>

#ifdef _WIN32

#include <windows.h>

namespace {
UINT windowsCodePage(int codePage) {
    return codePage == kCodePageAnsi ? kCodePageGbk : codePage;
}
}  // namespace

int multiByteToWide(int codePage, const char* input, int inputLength, char16_t* output, int outputCapacity) {
    return MultiByteToWideChar(windowsCodePage(codePage), 0, input, inputLength,
                               reinterpret_cast<wchar_t*>(output), outputCapacity);
}

int wideToMultiByte(int codePage, const char16_t* input, int inputLength, char* output, int outputCapacity) {
    return WideCharToMultiByte(windowsCodePage(codePage), 0, reinterpret_cast<const wchar_t*>(input),
                               inputLength, output, outputCapacity, nullptr, nullptr);
}

#else

#include <iconv.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;
constexpr char16_t kGbkDefaultCharacter = u'?';

// --- GBK (code page 936) -------------------------------------------------

constexpr int kTrailCount = 0xFF - 0x40;  // trail bytes 0x40..0xFE

bool isGbkTrail(unsigned char c) {
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

int pairIndex(unsigned char lead, unsigned char trail) {
    return (lead - 0x81) * kTrailCount + (trail - 0x40);
}

// Windows maps GBK's user-defined areas to the Private Use Area; iconv does
// not know them. Returns 0 outside those areas.
char16_t userDefinedCharacter(unsigned char lead, unsigned char trail) {
    if (trail >= 0xA1 && trail <= 0xFE) {
        if (lead >= 0xAA && lead <= 0xAF)
            return static_cast<char16_t>(0xE000 + (lead - 0xAA) * 94 + (trail - 0xA1));
        if (lead >= 0xF8 && lead <= 0xFE)
            return static_cast<char16_t>(0xE234 + (lead - 0xF8) * 94 + (trail - 0xA1));
    }
    if (lead >= 0xA1 && lead <= 0xA7 && trail >= 0x40 && trail <= 0xA0 && trail != 0x7F) {
        int column = trail < 0x7F ? trail - 0x40 : trail - 0x41;
        return static_cast<char16_t>(0xE4C6 + (lead - 0xA1) * 96 + column);
    }
    return 0;
}

struct GbkTables {
    std::vector<char16_t> decode;       // by pairIndex; 0 = unmapped
    std::vector<std::uint16_t> encode;  // by UTF-16 unit; 0 = unmapped
};

GbkTables buildGbkTables() {
    GbkTables tables;
    tables.decode.assign(static_cast<std::size_t>(0xFE - 0x81 + 1) * kTrailCount, 0);
    tables.encode.assign(0x10000, 0);
    iconv_t converter = iconv_open("UTF-16LE", "CP936");
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            char16_t unit = 0;
            if (converter != reinterpret_cast<iconv_t>(-1)) {
                char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                unsigned char out[4] = {};
                char* inPointer = in;
                char* outPointer = reinterpret_cast<char*>(out);
                std::size_t inLeft = 2, outLeft = sizeof out;
                std::size_t done = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
                if (done != static_cast<std::size_t>(-1) && inLeft == 0 && outLeft == 2)
                    unit = static_cast<char16_t>(out[0] | (out[1] << 8));
            }
            if (unit == 0)
                unit =
                    userDefinedCharacter(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
            if (unit == 0) continue;
            tables.decode[pairIndex(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail))] =
                unit;
            if (tables.encode[unit] == 0) tables.encode[unit] = static_cast<std::uint16_t>(lead << 8 | trail);
        }
    }
    if (converter != reinterpret_cast<iconv_t>(-1)) iconv_close(converter);
    tables.encode[0x20AC] = 0x80;  // the two single bytes above ASCII
    tables.encode[0xF8F5] = 0xFF;
    return tables;
}

const GbkTables& gbkTables() {
    static const GbkTables tables = buildGbkTables();
    return tables;
}

// Like the system's table-driven conversion, a lead byte always takes the
// byte after it, even one that cannot be a trail byte; a pair without a
// character becomes one '?'.
void decodeGbk(const unsigned char* in, std::size_t size, std::u16string& out) {
    const GbkTables& tables = gbkTables();
    std::size_t i = 0;
    while (i < size) {
        unsigned char c = in[i];
        if (c < 0x80) {
            out += static_cast<char16_t>(c);
            ++i;
        } else if (c == 0x80) {
            out += u'\u20AC';
            ++i;
        } else if (c == 0xFF) {
            out += u'\uF8F5';
            ++i;
        } else if (i + 1 >= size) {
            out += kGbkDefaultCharacter;  // a lead byte at the very end
            ++i;
        } else {
            unsigned char trail = in[i + 1];
            char16_t unit = isGbkTrail(trail) ? tables.decode[pairIndex(c, trail)] : 0;
            out += unit != 0 ? unit : kGbkDefaultCharacter;
            i += 2;
        }
    }
}

bool isHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

void encodeGbk(const char16_t* in, std::size_t size, std::string& out) {
    const GbkTables& tables = gbkTables();
    for (std::size_t i = 0; i < size; ++i) {
        char16_t u = in[i];
        if (u < 0x80) {
            out += static_cast<char>(u);
            continue;
        }
        std::uint16_t code = tables.encode[u];
        if (code == 0) {
            out += static_cast<char>(kGbkDefaultCharacter);
        } else if (code <= 0xFF) {
            out += static_cast<char>(code);
        } else {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        }
    }
}

// --- UTF-8 (code page 65001) ----------------------------------------------

void appendCodePoint(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

void decodeUtf8(const unsigned char* in, std::size_t size, std::u16string& out) {
    std::size_t i = 0;
    while (i < size) {
        unsigned char c = in[i];
        if (c < 0x80) {
            out += static_cast<char16_t>(c);
            ++i;
            continue;
        }
        int continuation = 0;
        unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
        char32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            continuation = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            continuation = 2;
            cp = c & 0x0F;
            if (c == 0xE0) low = 0xA0;   // no overlong forms
            if (c == 0xED) high = 0x9F;  // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            continuation = 3;
            cp = c & 0x07;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;  // nothing above U+10FFFF
        } else {
            out += kReplacementCharacter;
            ++i;
            continue;
        }
        std::size_t taken = 1;
        bool complete = true;
        for (int k = 0; k < continuation; ++k) {
            std::size_t at = i + taken;
            unsigned char lowest = k == 0 ? low : 0x80, highest = k == 0 ? high : 0xBF;
            if (at >= size || in[at] < lowest || in[at] > highest) {
                complete = false;
                break;
            }
            cp = (cp << 6) | (in[at] & 0x3F);
            ++taken;
        }
        if (complete)
            appendCodePoint(out, cp);
        else
            out += kReplacementCharacter;  // the maximal valid prefix becomes one U+FFFD
        i += taken;
    }
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void encodeUtf8(const char16_t* in, std::size_t size, std::string& out) {
    for (std::size_t i = 0; i < size; ++i) {
        char16_t u = in[i];
        if (isHighSurrogate(u) && i + 1 < size && isLowSurrogate(in[i + 1])) {
            appendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (in[i + 1] - 0xDC00));
            ++i;
        } else if (isHighSurrogate(u) || isLowSurrogate(u)) {
            appendUtf8(out, kReplacementCharacter);
        } else {
            appendUtf8(out, u);
        }
    }
}

int normalCodePage(int codePage) {
    return codePage == kCodePageAnsi ? kCodePageGbk : codePage;
}

// Copies a finished conversion out with the Windows return rules: the size
// query, or the count written, or 0 when the buffer is too small (after
// filling what fits, as Windows does).
template <typename Unit, typename Result>
int deliver(const Result& converted, Unit* output, int outputCapacity) {
    // A count that an int cannot hold is a failure, as on Windows.
    if (converted.size() > static_cast<std::size_t>(INT_MAX)) return 0;
    if (outputCapacity == 0) return static_cast<int>(converted.size());
    std::size_t fit = converted.size() < static_cast<std::size_t>(outputCapacity)
                          ? converted.size()
                          : static_cast<std::size_t>(outputCapacity);
    std::memcpy(output, converted.data(), fit * sizeof(Unit));
    return fit == converted.size() ? static_cast<int>(fit) : 0;
}

}  // namespace

int multiByteToWide(int codePage, const char* input, int inputLength, char16_t* output, int outputCapacity) {
    codePage = normalCodePage(codePage);
    if (input == nullptr || inputLength == 0 || inputLength < -1 || outputCapacity < 0) return 0;
    if (outputCapacity > 0 && output == nullptr) return 0;
    if (codePage != kCodePageGbk && codePage != kCodePageUtf8) return 0;
    std::size_t size = inputLength == -1 ? std::strlen(input) + 1 : static_cast<std::size_t>(inputLength);
    const auto* bytes = reinterpret_cast<const unsigned char*>(input);
    std::u16string converted;
    converted.reserve(size);
    if (codePage == kCodePageGbk)
        decodeGbk(bytes, size, converted);
    else
        decodeUtf8(bytes, size, converted);
    return deliver(converted, output, outputCapacity);
}

int wideToMultiByte(int codePage, const char16_t* input, int inputLength, char* output, int outputCapacity) {
    codePage = normalCodePage(codePage);
    if (input == nullptr || inputLength == 0 || inputLength < -1 || outputCapacity < 0) return 0;
    if (outputCapacity > 0 && output == nullptr) return 0;
    if (codePage != kCodePageGbk && codePage != kCodePageUtf8) return 0;
    std::size_t size = static_cast<std::size_t>(inputLength);
    if (inputLength == -1) size = std::char_traits<char16_t>::length(input) + 1;
    std::string converted;
    converted.reserve(size * 2);
    if (codePage == kCodePageGbk)
        encodeGbk(input, size, converted);
    else
        encodeUtf8(input, size, converted);
    return deliver(converted, output, outputCapacity);
}

#endif

// --- Whole-string conversions for the platform layers ---------------------

namespace {

// Lengths pass as int: a longer text converts to nothing, never to a
// wrapped piece of itself.
std::u16string toWide(int codePage, const std::string& text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return std::u16string();
    int length = static_cast<int>(text.size());
    int needed = multiByteToWide(codePage, text.data(), length, nullptr, 0);
    if (needed <= 0) return std::u16string();
    std::u16string wide(static_cast<std::size_t>(needed), u'\0');
    if (multiByteToWide(codePage, text.data(), length, wide.data(), needed) != needed)
        return std::u16string();
    return wide;
}

std::string fromWide(int codePage, const std::u16string& text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return std::string();
    int length = static_cast<int>(text.size());
    int needed = wideToMultiByte(codePage, text.data(), length, nullptr, 0);
    if (needed <= 0) return std::string();
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    if (wideToMultiByte(codePage, text.data(), length, narrow.data(), needed) != needed) return std::string();
    return narrow;
}

}  // namespace

std::u16string gbkToUtf16(const std::string& text) {
    return toWide(kCodePageGbk, text);
}

std::string utf16ToGbk(const std::u16string& text) {
    return fromWide(kCodePageGbk, text);
}

std::string gbkToUtf8(const std::string& text) {
    return utf16ToUtf8(gbkToUtf16(text));
}

std::string utf8ToGbkText(const std::string& utf8) {
    return utf16ToGbk(utf8ToUtf16(utf8));
}

std::string utf16ToUtf8(const std::u16string& text) {
    return fromWide(kCodePageUtf8, text);
}

std::u16string utf8ToUtf16(const std::string& utf8) {
    return toWide(kCodePageUtf8, utf8);
}
