// Code-page conversion: the Windows-style primitives and the program's
// UTF-8 / UTF-16 / GBK conversions built on them.
#include "runtime/codepage.h"

#include <gtest/gtest.h>

#include "lookup/text_conversion.h"

namespace {

const Text kHanziGbk = "\xBA\xBA\xD7\xD6";  // 汉字
const std::string kHanziUtf8 = "\xE6\xB1\x89\xE5\xAD\x97";
const Bytes kHanziUtf16("\x49\x6C\x57\x5B\x00\x00", 6);  // with the zero unit

std::u16string decodeUtf8(const std::string& utf8) {
    return utf8ToUtf16(utf8);
}

TEST(Codepage, LiteralsAreGbk) {
    // The program's own literals are compiled to code page 936.
    EXPECT_EQ(Text("汉字"), kHanziGbk);
}

TEST(Codepage, SizeQueryAndTerminator) {
    EXPECT_EQ(multiByteToWide(kCodePageGbk, kHanziGbk.c_str(), -1, nullptr, 0), 3);
    EXPECT_EQ(multiByteToWide(kCodePageGbk, kHanziGbk.c_str(), 4, nullptr, 0), 2);
    EXPECT_EQ(multiByteToWide(kCodePageAnsi, kHanziGbk.c_str(), -1, nullptr, 0), 3);
    EXPECT_EQ(multiByteToWide(kCodePageUtf8, kHanziUtf8.c_str(), -1, nullptr, 0), 3);
    EXPECT_EQ(multiByteToWide(kCodePageGbk, kHanziGbk.c_str(), 0, nullptr, 0), 0);

    char16_t wide[3] = {1, 1, 1};
    EXPECT_EQ(multiByteToWide(kCodePageGbk, kHanziGbk.c_str(), -1, wide, 3), 3);
    EXPECT_EQ(wide[0], u'\u6C49');
    EXPECT_EQ(wide[1], u'\u5B57');
    EXPECT_EQ(wide[2], u'\0');
    EXPECT_EQ(multiByteToWide(kCodePageGbk, kHanziGbk.c_str(), -1, wide, 2), 0);  // too small

    const char16_t hanzi[] = u"\u6C49\u5B57";
    EXPECT_EQ(wideToMultiByte(kCodePageGbk, hanzi, -1, nullptr, 0), 5);
    EXPECT_EQ(wideToMultiByte(kCodePageUtf8, hanzi, -1, nullptr, 0), 7);
    char narrow[5];
    EXPECT_EQ(wideToMultiByte(kCodePageGbk, hanzi, -1, narrow, 5), 5);
    EXPECT_EQ(std::string(narrow), kHanziGbk);
    EXPECT_EQ(wideToMultiByte(kCodePageGbk, hanzi, -1, narrow, 4), 0);
}

TEST(Codepage, GbkRoundTrips) {
    EXPECT_EQ(gbkToUtf8(kHanziGbk), kHanziUtf8);
    EXPECT_EQ(utf8ToGbkText(kHanziUtf8), kHanziGbk);
    EXPECT_EQ(utf16ToGbk(gbkToUtf16(kHanziGbk)), kHanziGbk);
    // 昞 has the trail byte 0x5C, a backslash in ASCII.
    EXPECT_EQ(gbkToUtf16("\x95\x5C"), u"\u661E");
    EXPECT_EQ(utf16ToGbk(u"\u661E"), "\x95\x5C");
    // Code page 936 beyond plain GBK: the euro sign and the user-defined area.
    EXPECT_EQ(gbkToUtf16("\x80"), u"\u20AC");
    EXPECT_EQ(utf16ToGbk(u"\u20AC"), "\x80");
    EXPECT_EQ(gbkToUtf16("\xAA\xA1\xFE\xFE\xA1\x40"), u"\uE000\uE4C5\uE4C6");
    EXPECT_EQ(utf16ToGbk(u"\uE000\uE4C5\uE4C6"), "\xAA\xA1\xFE\xFE\xA1\x40");
}

TEST(Codepage, GbkReplacements) {
    EXPECT_EQ(utf16ToGbk(u"a\u0259b"), "a?b");   // ə is not in GBK
    EXPECT_EQ(utf16ToGbk(u"\U0001F600"), "??");  // one '?' per UTF-16 unit
    EXPECT_EQ(utf16ToGbk(u"\xD800x"), "?x");     // lone surrogate
    EXPECT_EQ(gbkToUtf16("a\xBA"), u"a?");       // lead byte at the end
    // A lead byte takes the next byte, whatever it is.
    EXPECT_EQ(gbkToUtf16("\xBA\x30z"), u"?z");
    EXPECT_EQ(gbkToUtf16("\xFF"), u"\uF8F5");
    EXPECT_EQ(utf16ToGbk(u"\uF8F5"), "\xFF");
}

TEST(Codepage, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(decodeUtf8("a\xFF"
                         "b"),
              u"a\uFFFDb");
    EXPECT_EQ(decodeUtf8("\xE8\x8B"
                         "a"),
              u"\uFFFDa");  // truncated: one U+FFFD
    EXPECT_EQ(decodeUtf8("\xE8\x8B"), u"\uFFFD");
    EXPECT_EQ(decodeUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");                      // overlong
    EXPECT_EQ(decodeUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");            // encoded surrogate
    EXPECT_EQ(decodeUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // above U+10FFFF
    EXPECT_EQ(decodeUtf8("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(decodeUtf8("\x80"), u"\uFFFD");
}

TEST(Codepage, Utf8Encoding) {
    EXPECT_EQ(utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf16ToUtf8(u"\xDC00"), "\xEF\xBF\xBD");  // lone surrogate
    EXPECT_EQ(utf16ToUtf8(u"\u00E9"), "\xC3\xA9");
    EXPECT_EQ(utf16ToUtf8(u""), "");
}

TEST(TextConversion, Utf8BytesToUtf16) {
    EXPECT_EQ(utf8BytesToUtf16("\xE8\x8B\xB1"), Bytes("\xF1\x82\x00\x00", 4));
    EXPECT_EQ(utf8BytesToUtf16(kHanziUtf8), kHanziUtf16);
    EXPECT_EQ(utf8BytesToUtf16(""), "");
    // The input ends at its first zero byte.
    EXPECT_EQ(utf8BytesToUtf16(Bytes("a\0b", 3)), Bytes("a\0\0\0", 4));
    EXPECT_EQ(utf8BytesToUtf16(Bytes("\0b", 2)), "");
}

TEST(TextConversion, TextToUtf16AndBack) {
    EXPECT_EQ(textToUtf16(kHanziGbk, kCodePageGbk), kHanziUtf16);
    EXPECT_EQ(textToUtf16(kHanziUtf8), kHanziUtf16);  // 65001 by default
    EXPECT_EQ(utf16ToText(kHanziUtf16), kHanziGbk);   // 0: the program's code page
    EXPECT_EQ(utf16ToText(kHanziUtf16, kCodePageUtf8), kHanziUtf8);
    EXPECT_EQ(utf16ToText(""), "");
    EXPECT_EQ(utf16ToText(Bytes("\0\0a\0", 4)), "");
    // A missing character becomes '?'; a byte-order mark is a character too.
    EXPECT_EQ(utf16ToText(Bytes("a\0\x59\x02", 4)), "a?");
    EXPECT_EQ(utf16ToText(Bytes("a\0b", 3)), "a");  // an odd last byte is no unit
}

// A gibibyte is the least that wraps the doubled counts in int; it must come
// back empty and at once, not as a wrapped size or after a conversion pass.
TEST(TextConversion, AGibibyteConvertsToNothing) {
    const Bytes big(std::size_t{1} << 30, 'a');
    EXPECT_EQ(utf8BytesToUtf16(big), "");
    EXPECT_EQ(textToUtf16(big, kCodePageGbk), "");
    // Read as UTF-16, each "aa" is U+6161, two bytes in GBK.
    EXPECT_EQ(utf16ToText(big, kCodePageGbk), "");
}

TEST(TextConversion, Utf8ToGbk) {
    EXPECT_EQ(utf8ToGbk(kHanziUtf8), kHanziGbk);
    EXPECT_EQ(utf8ToGbk("word"), "word");
    EXPECT_EQ(utf8ToGbk(""), "");
    // Phonetic symbols that GBK lacks become '?'.
    EXPECT_EQ(utf8ToGbk("[\xC9\x99]"), "[?]");
}

}  // namespace
