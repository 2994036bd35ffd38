// The kinds of spelling mistakes, on misspellings learners really make.
#include "stats/mistake_kinds.h"

#include <gtest/gtest.h>

namespace {

constexpr MistakeKinds kDoubling = kindBit(MistakeKind::Doubling);
constexpr MistakeKinds kOrder = kindBit(MistakeKind::Order);
constexpr MistakeKinds kVowel = kindBit(MistakeKind::Vowel);
constexpr MistakeKinds kEnding = kindBit(MistakeKind::Ending);
constexpr MistakeKinds kMissing = kindBit(MistakeKind::Missing);
constexpr MistakeKinds kExtra = kindBit(MistakeKind::Extra);
constexpr MistakeKinds kConsonant = kindBit(MistakeKind::Consonant);
constexpr MistakeKinds kCase = kindBit(MistakeKind::CaseOrBlank);
constexpr MistakeKinds kMany = kindBit(MistakeKind::Many);
constexpr MistakeKinds kEmpty = kindBit(MistakeKind::Unanswered);

struct Pair {
    const char* typed;
    const char* expected;
    MistakeKinds kinds;
};

const Pair kPairs[] = {
    // A doubled letter missed or added, anywhere in the word.
    {"acomodate", "accommodate", kDoubling},
    {"acommodate", "accommodate", kDoubling},
    {"untill", "until", kDoubling},
    {"neccessary", "necessary", kDoubling},
    {"begining", "beginning", kDoubling},
    {"occured", "occurred", kDoubling},
    {"tomorow", "tomorrow", kDoubling},
    // Two neighbours swapped.
    {"recieve", "receive", kOrder},
    {"wierd", "weird", kOrder},
    {"teh", "the", kOrder},
    // A vowel guessed.
    {"seperate", "separate", kVowel},
    {"definately", "definitely", kVowel},
    {"grammer", "grammar", kEnding},  // -er for -ar is the ending, not the vowel
    // Confused endings, alone and with another slip.
    {"independant", "independent", kEnding},
    {"responsable", "responsible", kEnding},
    {"appearence", "appearance", kEnding},
    {"realise", "realize", kEnding},
    {"discusion", "discussion", kDoubling},
    {"conclution", "conclusion", kEnding},
    {"existance", "existence", kEnding},
    {"visiter", "visitor", kEnding},
    {"acceptible", "acceptable", kEnding},
    {"accomodation", "accommodation", kDoubling},
    {"dependancy", "dependency", kEnding},
    {"independance", "independence", kEnding},
    {"seperatly", "separately", kVowel | kMissing},
    {"responsibel", "responsible", kOrder},
    // One letter missing or added, not a double.
    {"enviroment", "environment", kMissing},
    {"goverment", "government", kMissing},
    {"libary", "library", kMissing},
    {"truely", "truly", kExtra},
    {"arguement", "argument", kExtra},
    {"rythm", "rhythm", kMissing},
    {"pronounciation", "pronunciation", kExtra},
    // A consonant for another.
    {"cloze", "close", kConsonant},
    {"advise", "advice", kConsonant},
    {"seperatelly", "separately", kVowel | kDoubling},
    {"fisical", "physical", kMany},
    // Case, blanks and hyphens only.
    {"London", "london", kCase},
    {"ice cream", "ice-cream", kCase},
    {"Ice Cream", "icecream", kCase},
    // Three slips or another word.
    {"apple", "banana", kMany},
    {"at", "on", kMany},
    {"xyz", "necessary", kMany},
    // Nothing typed.
    {"", "word", kEmpty},
    {"  ", "word", kEmpty},
};

}  // namespace

TEST(MistakeKinds, EachMisspellingIsNamedForWhatWentWrong) {
    for (const Pair& pair : kPairs)
        EXPECT_EQ(classifyMistake(pair.typed, pair.expected), pair.kinds)
            << pair.typed << " for " << pair.expected;
}

// A phrase or an entry longer than any word still gets an answer, and a
// text with GBK characters is compared byte for byte without a crash.
TEST(MistakeKinds, LongAndChineseTextsAreClassifiedWithoutTrouble) {
    const Text longEntry(500, 'a');
    EXPECT_EQ(classifyMistake(longEntry + "b", longEntry), kMany);
    EXPECT_EQ(classifyMistake("\xC4\xE3\xBA\xC3", "hello"), kMany);
    EXPECT_EQ(classifyMistake("look after", "look  after"), kCase);
    EXPECT_EQ(classifyMistake("look aftre", "look after"), kOrder);
}
