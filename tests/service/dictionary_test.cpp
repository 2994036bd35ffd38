#include "service/dictionary.h"

#include <gtest/gtest.h>

#include <regex>

#include "service/dictionary_page.h"

using namespace service;

namespace {

// Lines as the ECDICT tool writes them, deliberately out of order.
Dictionary sample() {
    Dictionary d;
    loadDictionaryText(
        "run\tr\xCA\x8Cn\t\tn.=R1;R2\tvi.=R3\t=R4\t[\xE8\xAE\xA1]=R5\n"
        "apple\t'\xC3\xA6pl\t\tn.=A1;A2\r\n"
        "ran\tr\xC3\xA6n\trun\t=run-past\n"
        "running\t'r\xCA\x8Cni\xC5\x8B\trun\tn.=G1\n"
        "went\t\tgo\n"
        "go\tgou\t\tv.=GO1\n"
        "loop\t\tloop\n"
        "China\t\t\tn.=Z1\n"
        "china\t\t\tn.=Z2\n"
        "color\t\t\tn.=C1\n"
        "knife\t\t\tn.=K1\n"
        "\n"
        "broken line\n"
        "\tno word\t\tn.=X\n"
        "empty\t\t\n",
        d);
    return d;
}

std::string labels(const std::vector<Meaning>& meanings) {
    std::string out;
    for (const Meaning& m : meanings) out += m.partOfSpeech + ":" + m.senses.front() + " ";
    return out;
}

std::string firstSense(const Dictionary& d, const std::string& word) {
    const auto meanings = lookupMeanings(d, word);
    return meanings.empty() ? "" : meanings.front().senses.front();
}

}  // namespace

TEST(Dictionary, ReadsEntriesInTheToolsFormatInAnyOrder) {
    const Dictionary d = sample();
    const DictionaryEntry run = lookupEntry(d, "run");
    EXPECT_EQ(run.phonetic, "r\xCA\x8Cn");
    EXPECT_EQ(labels(run.meanings), "n.:R1 vi.:R3 :R4 [\xE8\xAE\xA1]:R5 ");
    EXPECT_EQ(run.meanings[0].senses, (std::vector<std::string>{"R1", "R2"}));
    EXPECT_EQ(lookupEntry(d, "apple").phonetic, "'\xC3\xA6pl");  // CR LF line
    // Lines that are no entries are skipped, not read as words.
    EXPECT_FALSE(lookupEntry(d, "broken line").found);
    EXPECT_FALSE(lookupEntry(d, "empty").found);
    EXPECT_FALSE(lookupEntry(d, "").found);
    EXPECT_FALSE(lookupEntry(d, "xyzzy").found);
}

TEST(Dictionary, AnInflectedFormGetsItsHeadwordsMeaningsButKeepsItsOwnTranscription) {
    const Dictionary d = sample();
    const DictionaryEntry ran = lookupEntry(d, "ran");
    EXPECT_EQ(ran.phonetic, "r\xC3\xA6n");
    EXPECT_EQ(labels(ran.meanings), ":run-past n.:R1 vi.:R3 [\xE8\xAE\xA1]:R5 ");
    // A form with meanings of its own keeps them.
    EXPECT_EQ(labels(lookupEntry(d, "running").meanings), "n.:G1 ");
    // A form listed only under its headword: the headword's meanings, no transcription.
    const DictionaryEntry went = lookupEntry(d, "went");
    EXPECT_EQ(labels(went.meanings), "v.:GO1 ");
    EXPECT_EQ(went.phonetic, "");
    EXPECT_FALSE(lookupEntry(d, "loop").found);  // names itself, nothing else
}

TEST(Dictionary, FindsCapitalisedInflectedAndBritishFormsTheListDoesNotLink) {
    const Dictionary d = sample();
    EXPECT_EQ(firstSense(d, "Apple"), "A1");
    EXPECT_EQ(firstSense(d, "APPLES"), "A1");
    EXPECT_EQ(firstSense(d, "knives"), "K1");
    EXPECT_EQ(firstSense(d, "colours"), "C1");
    // A base form's transcription is not the word's.
    EXPECT_EQ(lookupEntry(d, "apples").phonetic, "");
    // The exact spelling wins over the lower-case one.
    EXPECT_EQ(firstSense(d, "China"), "Z1");
    EXPECT_EQ(firstSense(d, "china"), "Z2");
}

TEST(DictionaryFile, TheWordListMadeFromEcdictLoadsAndKnowsCommonWords) {
    Dictionary d;
    ASSERT_TRUE(loadDictionary(std::string(VORBELZOZ_SERVICE_DATA) + "/dictionary.tsv", d));
    EXPECT_GT(d.lines.size(), 500000u);
    EXPECT_EQ(firstSense(d, "apple"), "\xE8\x8B\xB9\xE6\x9E\x9C");                           // 苹果
    EXPECT_EQ(firstSense(d, "ice cream"), "\xE5\x86\xB0\xE6\xB7\x87\xE6\xB7\x8B");           // 冰淇淋
    EXPECT_EQ(firstSense(d, "went"), "go\xE7\x9A\x84\xE8\xBF\x87\xE5\x8E\xBB\xE5\xBC\x8F");  // go的过去式
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
