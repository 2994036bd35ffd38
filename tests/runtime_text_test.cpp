// Texts, byte strings, numbers and the random generator.
#include <gtest/gtest.h>

#include <clocale>

#include "runtime/bytes.h"
#include "runtime/random.h"
#include "runtime/text.h"

namespace {

const Text kHan = "\xBA\xBA";     // 汉
const Text kTrailA = "\x81\x41";  // a GBK character whose trail byte is 'A'

TEST(LeftText, CountsBytesAndMayCutACharacter) {
    EXPECT_EQ(leftText("abc", 2), "ab");
    EXPECT_EQ(leftText("abc", 9), "abc");
    EXPECT_EQ(leftText("abc", 0), "");
    EXPECT_EQ(leftText("abc", -3), "");
    EXPECT_EQ(leftText(kHan + "x", 1), "\xBA");
}

TEST(FindText, ScansByCharacters) {
    EXPECT_EQ(findText("a.b.c", "."), 2);
    EXPECT_EQ(findText("abc", "x"), -1);
    EXPECT_EQ(findText(kHan + ".", "."), 3);
    // The 'A' inside a two-byte character is no match; the one after it is.
    EXPECT_EQ(findText(kTrailA + "A", "A"), 3);
    EXPECT_EQ(findText(kTrailA, "A"), -1);
    // A needle that starts with a trail byte only matches at a character start.
    EXPECT_EQ(findText("\xBA\xBA\xBA", "\xBA\xBA"), 1);
}

TEST(FindText, StartIgnoreCaseAndEmptyNeedle) {
    EXPECT_EQ(findText("a.b.c", ".", 3), 4);
    EXPECT_EQ(findText("a.b.c", ".", 4), 4);
    EXPECT_EQ(findText("a.b.c", ".", 0), 2);
    EXPECT_EQ(findText("a.b.c", ".", 99), -1);
    EXPECT_EQ(findText("Hello", "hELLO", 1, true), 1);
    EXPECT_EQ(findText("Hello", "hELLO"), -1);
    EXPECT_EQ(findText("abc", ""), 1);
    EXPECT_EQ(findText("", ""), -1);
    EXPECT_EQ(findText("", "a"), -1);
}

TEST(ReplaceText, ReplacesByCharactersFromStart) {
    EXPECT_EQ(replaceText("my word", " ", "_"), "my_word");
    EXPECT_EQ(replaceText("a b c", " ", "_", 1, 1), "a_b c");
    EXPECT_EQ(replaceText("a b c", " ", "_", 3), "a b_c");
    EXPECT_EQ(replaceText("a b c", " "), "abc");
    EXPECT_EQ(replaceText("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(replaceText("ABab", "ab", "x", 1, -1, false), "xx");
    EXPECT_EQ(replaceText("ABab", "ab", "x"), "ABx");
    EXPECT_EQ(replaceText(kTrailA + "A", "A", "z"), kTrailA + "z");
    EXPECT_EQ(replaceText("", "a", "b"), "");
    EXPECT_EQ(replaceText("abc", "", "b"), "abc");
    EXPECT_EQ(replaceText("a b", " ", "_", 1, 0), "a b");
}

TEST(SplitText, PiecesAndEmptyPieces) {
    EXPECT_TRUE(splitText("").empty());
    EXPECT_EQ(splitText("a"), TextArray({"a"}));
    EXPECT_EQ(splitText("a,,b"), TextArray({"a", "", "b"}));
    EXPECT_EQ(splitText("a,"), TextArray({"a"}));
    EXPECT_EQ(splitText(",a"), TextArray({"", "a"}));
    EXPECT_EQ(splitText("a\r\n\r\nb\r\n", "\r\n"), TextArray({"a", "", "b"}));
    EXPECT_EQ(splitText("a,b", ""), TextArray({"a,b"}));
    // A comma-valued trail byte does not split.
    EXPECT_EQ(splitText("\x81,x,y"), TextArray({"\x81,x", "y"}));
}

TEST(SplitText, MaxPiecesDropsTheRest) {
    EXPECT_TRUE(splitText("a,b", ",", 0).empty());
    EXPECT_EQ(splitText("a,b,c", ",", 2), TextArray({"a", "b"}));
    EXPECT_EQ(splitText("a,b", ",", 5), TextArray({"a", "b"}));
}

TEST(Numbers, ToText) {
    EXPECT_EQ(toText(0), "0");
    EXPECT_EQ(toText(-42), "-42");
    EXPECT_EQ(toText(2147483647), "2147483647");
    EXPECT_EQ(toText(2.0 / 3 * 100), "66.66666666667");
    EXPECT_EQ(toText(1.0 / 3), "0.3333333333333");
    EXPECT_EQ(toText(100.0), "100");
    EXPECT_EQ(toText(50.0), "50");
    EXPECT_EQ(toText(0.5), "0.5");
    EXPECT_EQ(toText(1e13), "1e+13");
    EXPECT_EQ(toText(0.00001), "1e-05");
}

// The Qt toolkit takes the system locale for the C library; numbers must
// still read "66.66666666667" under de_DE, fr_FR or ru_RU.
TEST(Numbers, ToTextIgnoresACommaDecimalLocale) {
    const char* chosen = nullptr;
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr) GTEST_SKIP() << "no comma-decimal locale installed (Debian package locales-all)";
    const Text decimalPoint = std::localeconv()->decimal_point;
    const Text texts[] = {toText(2.0 / 3 * 100), toText(0.5), toText(1e13), toText(1234567)};
    std::setlocale(LC_ALL, "C");
    ASSERT_EQ(decimalPoint, ",") << chosen;
    EXPECT_EQ(texts[0], "66.66666666667");
    EXPECT_EQ(texts[1], "0.5");
    EXPECT_EQ(texts[2], "1e+13");
    EXPECT_EQ(texts[3], "1234567");
}

TEST(Numbers, Spaces) {
    EXPECT_EQ(spaces(3), "   ");
    EXPECT_EQ(spaces(0), "");
    EXPECT_EQ(spaces(-1), "");
}

TEST(Bytes, CutsClampAndKeepZeroBytes) {
    const Bytes data("ab\0cd", 5);
    EXPECT_EQ(byteLength(data), 5);
    EXPECT_EQ(leftBytes(data, 3), Bytes("ab\0", 3));
    EXPECT_EQ(leftBytes(data, 9), data);
    EXPECT_EQ(leftBytes(data, -1), "");
    EXPECT_EQ(rightBytes(data, 3), Bytes("\0cd", 3));
    EXPECT_EQ(rightBytes(data, 9), data);
    EXPECT_EQ(rightBytes(data, 0), "");
    EXPECT_EQ(zeroBytes(2), Bytes("\0\0", 2));
    EXPECT_EQ(zeroBytes(-2), "");
    EXPECT_EQ(bytesToText(data), "ab");
    EXPECT_EQ(bytesToText("abc"), "abc");
    EXPECT_EQ(bytesFromMemory("xyz", 2), "xy");
    EXPECT_EQ(bytesFromMemory(nullptr, 2), "");
    EXPECT_EQ(textToBytes("abc"), "abc");
}

TEST(Bytes, ReplaceMatchesAtEveryByte) {
    // Unlike replaceText, a match may begin at a trail byte.
    EXPECT_EQ(replaceBytes("\x81\x41", "A", "z"), "\x81z");
    EXPECT_EQ(replaceBytes("aXbXc", "X"), "abc");
    EXPECT_EQ(replaceBytes("aXbXc", "X", "--", 1, 1), "a--bXc");
    EXPECT_EQ(replaceBytes("aXbXc", "X", "_", 3), "aXb_c");
    EXPECT_EQ(replaceBytes("aaa", "aa", "b"), "ba");
    EXPECT_EQ(replaceBytes("", "a", "b"), "");
    EXPECT_EQ(replaceBytes("abc", "", "b"), "abc");
    EXPECT_EQ(replaceBytes(Bytes("a\0b", 3), Bytes("\0", 1), "0"), "a0b");
}

TEST(Random, KnownSequence) {
    seedRandom(0);
    EXPECT_EQ(nextRandomValue(), 38);
    EXPECT_EQ(nextRandomValue(), 7719);
    seedRandom(1);
    EXPECT_EQ(nextRandomValue(), 41);
    EXPECT_EQ(nextRandomValue(), 18467);
}

TEST(Random, InRange) {
    seedRandom(1);
    EXPECT_EQ(randomInRange(1, 1), 1);
    EXPECT_EQ(nextRandomValue(), 41);  // equal bounds drew nothing
    seedRandom(1);
    EXPECT_EQ(randomInRange(10, 19), 10 + 41 % 10);
    seedRandom(1);
    EXPECT_EQ(randomInRange(19, 10), 10 + 41 % 10);  // swapped
    seedRandom(1);
    EXPECT_EQ(randomInRange(-5, 3), 41 % 4);  // negative counts as 0
    seedRandom(1);
    EXPECT_EQ(randomInRange(), 41);
    for (int i = 0; i < 1000; ++i) {
        int value = randomInRange(3, 7);
        EXPECT_GE(value, 3);
        EXPECT_LE(value, 7);
    }
}

}  // namespace
