// GBK decoding with Windows' code page 936.
#include <windows.h>

#include "service/text_encoding.h"

namespace service {

namespace {

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The UTF-16 unit of one GBK character of count bytes, or 0 when the bytes
// are not one.
unsigned decodeOne(const char* bytes, int count) {
    wchar_t unit = 0;
    const int n = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes, count, &unit, 1);
    return n == 1 ? static_cast<unsigned>(unit) : 0;
}

}  // namespace

std::string gbkToUtf8(const std::string& bytes) {
    static const std::string kReplacement = "\xEF\xBF\xBD";
    std::string out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        // A lead byte with its trail byte; every GBK character fits one
        // UTF-16 unit.
        if (i + 1 < bytes.size()) {
            const unsigned code = decodeOne(bytes.data() + i, 2);
            if (code != 0) {
                appendUtf8(out, code);
                i += 2;
                continue;
            }
        }
        const unsigned single = decodeOne(bytes.data() + i, 1);
        if (single != 0)
            appendUtf8(out, single);
        else
            out += kReplacement;
        ++i;
    }
    return out;
}

}  // namespace service
