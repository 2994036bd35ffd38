#include "service/dictionary.h"

#include <gtest/gtest.h>

#include <regex>

#include "service/dictionary_page.h"

using namespace service;

namespace {

Dictionary sample() {
    Dictionary d;
    for (const char* line :
         {"apple\tn.\tA1;A2", "book\tn.\tB1", "book\tv.\tB2", "color\tn.\tC1", "fly\tv.\tF1", "make\tv.\tM1",
          "run\tv.\tR1", "knife\tn.\tK1", "China\tn.\tZ1", "china\tn.\tZ2"})
        addDictionaryLine(line, d);
    return d;
}

std::string firstSense(const Dictionary& d, const std::string& word) {
    const auto meanings = lookupMeanings(d, word);
    return meanings.empty() ? "" : meanings.front().senses.front();
}

}  // namespace

TEST(Dictionary, ReadsOneLinePerWordAndPartOfSpeech) {
    const Dictionary d = sample();
    const auto book = lookupMeanings(d, "book");
    ASSERT_EQ(book.size(), 2u);
    EXPECT_EQ(book[0].partOfSpeech, "n.");
    EXPECT_EQ(book[1].partOfSpeech, "v.");
    const auto apple = lookupMeanings(d, "apple");
    ASSERT_EQ(apple.size(), 1u);
    EXPECT_EQ(apple[0].senses, (std::vector<std::string>{"A1", "A2"}));
}

TEST(Dictionary, SkipsMalformedLines) {
    Dictionary d;
    for (const char* line :
         {"", "word", "word\tn.", "\tn.\tx", "a\tn.\t", "a\tn.\t;;", "x\ty\tz\tw", "ok\tn.\tO\r"})
        addDictionaryLine(line, d);
    EXPECT_EQ(d.size(), 1u);
    EXPECT_EQ(firstSense(d, "ok"), "O");
}

TEST(Dictionary, FindsInflectedCapitalisedAndBritishForms) {
    const Dictionary d = sample();
    EXPECT_EQ(firstSense(d, "Apple"), "A1");
    EXPECT_EQ(firstSense(d, "APPLES"), "A1");
    EXPECT_EQ(firstSense(d, "flies"), "F1");
    EXPECT_EQ(firstSense(d, "knives"), "K1");
    EXPECT_EQ(firstSense(d, "making"), "M1");
    EXPECT_EQ(firstSense(d, "running"), "R1");
    EXPECT_EQ(firstSense(d, "booked"), "B1");
    EXPECT_EQ(firstSense(d, "colour"), "C1");
    EXPECT_EQ(firstSense(d, "colours"), "C1");
    // The exact spelling wins over the lower-case one.
    EXPECT_EQ(firstSense(d, "China"), "Z1");
    EXPECT_EQ(firstSense(d, "china"), "Z2");
    EXPECT_EQ(firstSense(d, "xyzzy"), "");
    EXPECT_EQ(firstSense(d, ""), "");
    EXPECT_EQ(firstSense(d, "s"), "");
}

TEST(DictionaryFile, TheShippedWordListLoadsAndKnowsCommonWords) {
    Dictionary d;
    ASSERT_TRUE(loadDictionary(std::string(VORBELZOZ_SERVICE_DATA) + "/dictionary.tsv", d));
    EXPECT_GT(d.size(), 50000u);
    EXPECT_EQ(firstSense(d, "apple"), "\xE8\x8B\xB9\xE6\x9E\x9C");  // 苹果
    EXPECT_FALSE(lookupMeanings(d, "ice cream").empty());
    Dictionary none;
    EXPECT_FALSE(loadDictionary("/nonexistent/dictionary.tsv", none));
}

TEST(DictionaryPage, HoldsTheTranscriptionAndAListOfMeanings) {
    const std::string page =
        renderDictionaryPage("apple", "\xCB\x88\x61pl", {{"n.", {"X", "Y"}}, {"v.", {"Z"}}});
    EXPECT_NE(page.find("<span>\xE8\x8B\xB1 [\xCB\x88\x61pl]</span>"), std::string::npos);
    EXPECT_NE(page.find("<ul class=\"\">\n<li><b>n.</b> X\xEF\xBC\x9BY</li>\n<li><b>v.</b> Z</li>\n</ul>"),
              std::string::npos);
    // The list's class attribute is the page's only one.
    EXPECT_EQ(page.find("class="), page.rfind("class="));
}

TEST(DictionaryPage, AnUnknownWordGetsTheTranscriptionAndNoList) {
    const std::string page = renderDictionaryPage("zzz", "z", {});
    EXPECT_NE(page.find("<span>\xE8\x8B\xB1 [z]</span>"), std::string::npos);
    EXPECT_EQ(page.find("<ul"), std::string::npos);
    EXPECT_EQ(page.find("class="), std::string::npos);
}

TEST(DictionaryPage, AWordCannotForgeTheMarkers) {
    const std::string word = "<span>\xE8\x8B\xB1 x</span> class=ab><ul class=\"\">y</ul>";
    const std::string page = renderDictionaryPage(word, "a]</span>b<i>", {});
    EXPECT_EQ(page.find("<span>"), page.rfind("<span>"));
    EXPECT_EQ(page.find("</span>"), page.rfind("</span>"));
    // The program's meaning pattern finds nothing to cut.
    EXPECT_FALSE(std::regex_search(page, std::regex("class=..>", std::regex::icase)));
    EXPECT_EQ(page.find("</ul>"), std::string::npos);
    EXPECT_NE(page.find("[a/spanbi]</span>"), std::string::npos);
}
