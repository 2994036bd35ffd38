// Byte search and cut, and the regular-expression extraction used on
// dictionary pages.
#include "lookup/extract.h"

#include <gtest/gtest.h>

#include "lookup/byte_search.h"

namespace {

TEST(FindBytes, PositionsAndStart) {
    EXPECT_EQ(findBytes("abcabc", "bc"), 2);
    EXPECT_EQ(findBytes("abcabc", "bc", 2), 2);  // a match right at the start
    EXPECT_EQ(findBytes("abcabc", "bc", 3), 5);
    EXPECT_EQ(findBytes("abcabc", "bc", 0), 2);
    EXPECT_EQ(findBytes("abcabc", "bc", -7), 2);
    EXPECT_EQ(findBytes("abcabc", "bc", 6), -1);
    EXPECT_EQ(findBytes("abcabc", "bc", 99), -1);
    EXPECT_EQ(findBytes("abc", "x"), -1);
    EXPECT_EQ(findBytes("", "x"), -1);
    EXPECT_EQ(findBytes("abc", ""), -1);
    EXPECT_EQ(findBytes("ab", "abc"), -1);
    // Bytes, not characters: zero bytes and trail bytes match anywhere.
    EXPECT_EQ(findBytes(Bytes("a\0b", 3), Bytes("\0b", 2)), 2);
    EXPECT_EQ(findBytes("\x81\x41", "A"), 2);
}

TEST(MidBytes, Cuts) {
    EXPECT_EQ(midBytes("abcde", 3, 10), "cde");
    EXPECT_EQ(midBytes("abcde", 6, 1), "");
    EXPECT_EQ(midBytes("abcde", 2, 2), "bc");
    EXPECT_EQ(midBytes("abcde", 0, 2), "ab");
    EXPECT_EQ(midBytes("abcde", 2, 0), "");
    EXPECT_EQ(midBytes("", 1, 1), "");
    EXPECT_EQ(midBytes(Bytes("a\0b", 3), 2, 2), Bytes("\0b", 2));
}

TEST(ExtractBetween, ShortestMatchAcrossLines) {
    const Text page =
        "<span>x</span><ul class=\"\">\r\n<li>n. one</li>\n<li>v. two</li>\r\n</ul>"
        "<ul class=\"\"><li>later</li></ul>";
    EXPECT_EQ(extractBetween(page, "class=..>", "</ul>"), "\r\n<li>n. one</li>\n<li>v. two</li>\r\n");
}

TEST(ExtractBetween, IgnoresCase) {
    EXPECT_EQ(extractBetween("<UL CLASS=\"\">x</UL>", "class=..>", "</ul>"), "x");
    EXPECT_EQ(extractBetween("<span>英 [x]</span>", "<SPAN>", "</SPAN>"), "英 [x]");
}

TEST(ExtractBetween, PartsArePatterns) {
    EXPECT_EQ(extractBetween("a1b2c", "a.", "2"), "b");
    EXPECT_EQ(extractBetween("[x]", "\\[", "\\]"), "x");
    // Each byte is a character: "." takes one byte of a two-byte character.
    EXPECT_EQ(extractBetween("\xBA\xBA"
                             "ab",
                             "^.", "b"),
              "\xBA"
              "a");
}

TEST(ExtractBetween, NoMatchOrBadPatternGivesEmpty) {
    EXPECT_EQ(extractBetween("nothing here", "class=..>", "</ul>"), "");
    EXPECT_EQ(extractBetween("<ul class=\"\">open", "class=..>", "</ul>"), "");
    EXPECT_EQ(extractBetween("(x)", "(", ")"), "");
    EXPECT_EQ(extractBetween("", "a", "b"), "");
    EXPECT_EQ(extractBetween("ab", "a", "b"), "");  // an empty group is an empty text too
}

}  // namespace
