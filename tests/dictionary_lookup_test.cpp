#include "lookup/dictionary_lookup.h"

#include <gtest/gtest.h>

#include <string_view>

#include "app/quiz_state.h"
#include "lookup/pronunciation_cache.h"
#include "support/fake_platform.h"
#include "support/program_folder.h"
#include "ui/main_window_layout.h"

namespace {

// Pages arrive as UTF-8 while the test's own literals are GBK.
Bytes utf8(std::u8string_view text) {
    return Bytes(text.begin(), text.end());
}

const ControlRef kPhoneticBox = mainWindow::ctl(mainWindow::超级编辑框1);
const ControlRef kMeaningView = mainWindow::ctl(mainWindow::超文本浏览框1);
const ControlRef kSpellingLabel = mainWindow::ctl(mainWindow::拼写标签);

class DictionaryLookup : public ::testing::Test {
protected:
    void SetUp() override {
        initQuizState();
        fake.setHttpBody(pronunciationUrl("apple"), "mp3");
        fake.markOpen(WindowId::Main);
    }
    void servePage(const Text& word, const Bytes& page) { fake.setHttpBody(dictionaryUrl(word), page); }
    std::u16string shownPhonetics() { return fake.control(kPhoneticBox).insertedUnicode; }
    Text phoneticBoxText() { return fake.text(kPhoneticBox); }

    // The phonetics shown for a page served for "apple".
    std::u16string phoneticsOf(const Bytes& page) {
        servePage("apple", page);
        prepareWord("apple");
        return shownPhonetics();
    }

    FakePlatform fake;
    TestProgramFolder program;
};

// IPA letters cannot pass through the assertion macros, which spell their
// arguments out as GBK text.
const std::u16string kApple = u"[ˈæpl]";
const Text kFailureText = "未获取到音标，请检查[当前单词]是否错误";

}  // namespace

TEST(DictionaryUrl, PutsTheEntryUnchangedAfterTheHost) {
    EXPECT_EQ(dictionaryUrl("Ice Cream"), "http://127.0.0.1:47800/Ice Cream");
    EXPECT_STREQ(kPhoneticFailureText, kFailureText.c_str());
}

TEST_F(DictionaryLookup, ThePrimaryMarkerShowsTheBritishPhoneticsInBlueSongti) {
    servePage("apple", utf8(u8"<html><span>美 [ˈæpəl]</span><span>英 [ˈæpl]</span> <ul class=\"\">x</ul>"));
    prepareWord("apple");

    EXPECT_EQ(shownPhonetics(), kApple);
    const ControlState& box = fake.control(kPhoneticBox);
    ASSERT_TRUE(box.hasDefaultFormat);
    EXPECT_EQ(box.defaultFormat.faceName, "宋体");
    EXPECT_EQ(box.defaultFormat.size, 15);
    EXPECT_EQ(box.defaultFormat.offset, 0);
    EXPECT_EQ(box.defaultFormat.effects, 0);
    EXPECT_EQ(box.defaultFormat.colour, 0xFF0000u);
    // The box is emptied before the page is fetched, and the failure text never shows.
    ASSERT_FALSE(box.textHistory.empty());
    EXPECT_EQ(box.textHistory.front(), "");
    EXPECT_EQ(phoneticBoxText(), "");
    EXPECT_TRUE(fake.control(kMeaningView).navigations.empty());
    EXPECT_EQ(fake.requestedUrls().front(), "http://127.0.0.1:47800/apple");
}

TEST_F(DictionaryLookup, ThePrimaryBranchDropsReplacementCharactersOnly) {
    // An invalid UTF-8 byte becomes U+FFFD and is removed; blanks and line feeds stay.
    EXPECT_EQ(phoneticsOf(utf8(u8"<span>英 [a\xFF  b\n]</span>")), u"[a  b\n]");
}

TEST_F(DictionaryLookup, TheFallbackMarkerIsCleanedUpInOrder) {
    Bytes page = utf8(u8"<p><div class=\"base-speak\">  \n<span>[ˈæpl]   x \n y\xFF</span></div>");
    // Pairs of blanks go before line feeds do, so " \n " keeps two blanks.
    const std::u16string expected = u"[ˈæpl] x  y";
    EXPECT_EQ(phoneticsOf(page), expected);
    EXPECT_EQ(phoneticBoxText(), "");
}

TEST_F(DictionaryLookup, TheFallbackOnlyCountsWhenItsEndIsWithin400Bytes) {
    const Bytes marker = "<div class=\"base-speak\">";  // 24 bytes
    // "</span>" 399 bytes after the marker's first byte: still found.
    EXPECT_EQ(phoneticsOf(marker + Bytes(375, 'a') + "</span>"), std::u16string(375, u'a'));

    fake.control(kPhoneticBox).insertedUnicode.clear();
    std::u16string shown = phoneticsOf(marker + Bytes(376, 'a') + "</span>");
    EXPECT_EQ(shown, u"");
    EXPECT_EQ(phoneticBoxText(), kFailureText);
    EXPECT_EQ(fake.control(kMeaningView).navigations, std::vector<Text>{"about:blank"});
}

TEST_F(DictionaryLookup, AnEmptyPageShowsTheFailureTextButStillFillsTheWord) {
    // The dictionary request fails (the fake's default answer); the speech one works.
    fake.control(kPhoneticBox).text = "old";
    currentWord.meaningHtml = "old meanings";
    prepareWord("apple");

    EXPECT_EQ(phoneticBoxText(), kFailureText);
    EXPECT_EQ(shownPhonetics(), u"");
    EXPECT_EQ(fake.control(kMeaningView).navigations, std::vector<Text>{"about:blank"});
    EXPECT_EQ(currentWord.meaningHtml, "");
    EXPECT_EQ(currentWord.word, "apple");
    EXPECT_EQ(currentWord.soundFile, program.folder() + "\\mp3\\apple.mp3");
    EXPECT_EQ(fake.text(kSpellingLabel), "apple");
}

TEST_F(DictionaryLookup, AStartMarkerWithoutAnEndMarkerShowsNothingAndNoMessage) {
    std::u16string shown = phoneticsOf(utf8(u8"<span>英 [ˈæpl] and no end"));
    EXPECT_EQ(shown, u"");
    EXPECT_EQ(phoneticBoxText(), "");
    EXPECT_TRUE(fake.control(kMeaningView).navigations.empty());

    shown = phoneticsOf(utf8(u8"<div class=\"base-speak\">[ˈæpl] and no end"));
    EXPECT_EQ(shown, u"");
    EXPECT_EQ(phoneticBoxText(), "");
    EXPECT_TRUE(fake.control(kMeaningView).navigations.empty());
}

TEST_F(DictionaryLookup, TheMeaningsAreTheFirstListConvertedToGbk) {
    servePage("apple", utf8(u8"<span>英 [ˈæpl]</span>\r\n<UL CLASS=\"\">\r\n<li>n. 苹果</li>\r\n</ul>"
                            u8"<ul class=\"\"><li>later</li></ul>"));
    prepareWord("apple");
    EXPECT_EQ(currentWord.meaningHtml, "\r\n<li>n. 苹果</li>\r\n");
    EXPECT_EQ(currentWord.word, "apple");

    showMeanings(currentWord.meaningHtml);
    EXPECT_EQ(fake.control(kMeaningView).htmlBodies, std::vector<Text>{"\r\n<li>n. 苹果</li>\r\n"});
    EXPECT_EQ(fake.text(kSpellingLabel), "apple");
}

TEST_F(DictionaryLookup, APageWithoutAMeaningListGivesEmptyMeanings) {
    servePage("apple", utf8(u8"<span>英 [ˈæpl]</span>"));
    prepareWord("apple");
    EXPECT_EQ(currentWord.meaningHtml, "");
}

TEST_F(DictionaryLookup, TheEntryGoesIntoTheRequestUnchanged) {
    fake.setHttpBody(pronunciationUrl("Ice Cream"), "mp3");
    servePage("Ice Cream", utf8(u8"<span>英 [aɪs kriːm]</span>"));
    prepareWord("Ice Cream");
    EXPECT_EQ(fake.httpRequests.front().request.object, "/Ice Cream");
    const std::u16string expected = u"[aɪs kriːm]";
    EXPECT_EQ(shownPhonetics(), expected);
    EXPECT_EQ(currentWord.word, "Ice Cream");
    EXPECT_EQ(currentWord.soundFile, program.folder() + "\\mp3\\Ice_Cream.mp3");
}

TEST_F(DictionaryLookup, ARefusedBodyWriteIsIgnored) {
    fake.htmlBodyResult = false;
    currentWord.word = "pear";
    showMeanings("<li>x</li>");
    EXPECT_EQ(fake.text(kSpellingLabel), "pear");
}

// A hostile page must not keep the lookup busy: the list is looked for in
// the page's first MiB only, and a list that never closes costs no more
// than one that does.
TEST_F(DictionaryLookup, TheMeaningListMustCloseWithinThePagesFirstMiB) {
    const std::size_t kMiB = 1024 * 1024;
    const Bytes list = "<ul class=\"\"><li>n. x</li></UL>";
    servePage("apple", Bytes(kMiB - list.size(), ' ') + list + "<ul class=\"\">y</ul>");
    prepareWord("apple");
    EXPECT_EQ(currentWord.meaningHtml, "<li>n. x</li>");

    servePage("apple", Bytes(kMiB - list.size() + 1, ' ') + list);
    prepareWord("apple");
    EXPECT_EQ(currentWord.meaningHtml, "");

    Bytes hostile = "</ul>";
    while (hostile.size() < kMiB) hostile += "class=ab></u";
    servePage("apple", hostile);
    prepareWord("apple");
    EXPECT_EQ(currentWord.meaningHtml, "");
}
