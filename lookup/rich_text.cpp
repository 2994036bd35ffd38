// Phonetic symbols are IPA letters that GBK cannot hold, so they reach the
// rich-text box as UTF-16. They are inserted straight into the box: going
// through the clipboard would throw away whatever the learner had copied.
#include "lookup/rich_text.h"

CharFormat phoneticCharFormat() {
    CharFormat format;
    format.faceName = "宋体";
    format.size = 15;
    format.offset = 0;
    format.effects = 0;
    format.colour = 0xFF0000;  // 0x00BBGGRR: pure blue
    return format;
}

void showUnicodeInRichText(ControlRef box, const Bytes& utf16) {
    platform().setRichTextDefaultFormat(box, phoneticCharFormat());

    std::size_t start = 0;
    if (utf16.size() >= 2 && static_cast<unsigned char>(utf16[0]) == 0xFF &&
        static_cast<unsigned char>(utf16[1]) == 0xFE) {
        start = 2;
    }
    // The text ends at its first zero code unit, as a pasted Unicode text does.
    std::u16string text;
    for (std::size_t i = start; i + 1 < utf16.size(); i += 2) {
        char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(utf16[i]) |
                                              (static_cast<unsigned char>(utf16[i + 1]) << 8));
        if (unit == 0) break;
        text += unit;
    }
    platform().insertRichTextUnicode(box, text);
}
