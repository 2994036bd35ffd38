// The program's own lookup code reading what the offline service serves: the
// dictionary lookup cuts the British transcription and the meaning list out
// of its pages, and the pronunciation cache stores its MP3s. The program's
// HTTP requests go to the live service over a socket.
#include <gtest/gtest.h>

#include "app/quiz_state.h"
#include "lookup/byte_search.h"
#include "lookup/dictionary_lookup.h"
#include "lookup/extract.h"
#include "lookup/text_conversion.h"
#include "service_process.h"
#include "support/fake_platform.h"
#include "support/program_folder.h"
#include "ui/main_window_layout.h"

namespace {

const ControlRef kPhoneticBox = mainWindow::ctl(mainWindow::超级编辑框1);

class ProgramWithService : public ::testing::Test {
protected:
    static void SetUpTestSuite() { service = new ServiceProcess(); }
    static void TearDownTestSuite() {
        delete service;
        service = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(service->started());
        initQuizState();
        fake.markOpen(WindowId::Main);
        // Whatever host the program names, the request goes to the service
        // exactly as the program built it.
        fake.httpResponder = [](const HttpRequest& request) {
            std::string raw = request.verb + " " + request.object + " " + request.version + "\r\n";
            raw += "User-Agent: " + request.userAgent + "\r\n" + request.headers;
            if (request.headers.find("\r\n\r\n") == std::string::npos) raw += "\r\n";
            const ParsedResponse parsed = parseResponse(exchange(service->port(), raw));
            HttpResponse response;
            response.completed = parsed.status != 0;
            response.status = parsed.status;
            response.body = parsed.body;
            return response;
        };
    }

    std::u16string shownPhonetics() { return fake.control(kPhoneticBox).insertedUnicode; }

    static ServiceProcess* service;
    FakePlatform fake;
    TestProgramFolder program;
};

ServiceProcess* ProgramWithService::service = nullptr;

bool startsLikeMp3(const Bytes& data) {
    return data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0xFF &&
           (static_cast<unsigned char>(data[1]) & 0xE0) == 0xE0;
}

}  // namespace

TEST_F(ProgramWithService, APageIsCutByTheProgramsMarkersAndPattern) {
    const Bytes page = parseResponse(exchange(service->port(), programRequest("/apple"))).body;
    // The primary marker "<span>英 " in UTF-8, and the end marker after it.
    const int start = findBytes(page, "\x3C\x73\x70\x61\x6E\x3E\xE8\x8B\xB1\x20");
    ASSERT_GT(start, 0);
    const int end = findBytes(page, "</span>", start);
    ASSERT_GT(end, start);
    const Bytes piece = midBytes(page, start + 10, end - start - 10);
    EXPECT_EQ(piece.front(), '[');
    EXPECT_EQ(piece.back(), ']');
    EXPECT_EQ(extractBetween(utf8ToGbk(page), "class=..>", "</ul>"),
              "\n<li><b>n.</b> 苹果；家伙</li>\n<li><b>[医]</b> 苹果</li>\n");
}

TEST_F(ProgramWithService, AQuizWordGetsPhoneticsMeaningsAndItsMp3) {
    prepareWord("apple");

    const std::u16string phonetics = shownPhonetics();
    ASSERT_GE(phonetics.size(), 4u);
    EXPECT_EQ(phonetics.front(), u'[');
    EXPECT_EQ(phonetics.back(), u']');
    EXPECT_NE(phonetics.find(u'\u02C8'), std::u16string::npos);  // the IPA stress mark survives
    EXPECT_EQ(fake.text(kPhoneticBox), "");                      // no failure text
    EXPECT_EQ(currentWord.meaningHtml, "\n<li><b>n.</b> 苹果；家伙</li>\n<li><b>[医]</b> 苹果</li>\n");
    EXPECT_EQ(currentWord.soundFile, program.folder() + "\\mp3\\apple.mp3");
    EXPECT_TRUE(startsLikeMp3(program.read("\\mp3\\apple.mp3")));
}

TEST_F(ProgramWithService, APhraseWithABlankIsLookedUpAndCachedUnderItsUnderscoreName) {
    prepareWord("ice cream");

    EXPECT_NE(currentWord.meaningHtml.find("冰淇淋"), std::string::npos);
    EXPECT_NE(shownPhonetics().find(u' '), std::u16string::npos);
    EXPECT_TRUE(startsLikeMp3(program.read("\\mp3\\ice_cream.mp3")));
}

TEST_F(ProgramWithService, EveryStarterWordHasPhoneticsAndMeanings) {
    for (const char* word :
         {"apple", "book", "cat", "dog", "egg", "fish", "green", "happy", "school", "water"}) {
        SCOPED_TRACE(word);
        fake.control(kPhoneticBox).insertedUnicode.clear();
        prepareWord(word);
        EXPECT_GE(shownPhonetics().size(), 3u);
        EXPECT_NE(currentWord.meaningHtml.find("<li><b>"), std::string::npos);
        EXPECT_TRUE(program.exists("\\mp3\\" + Text(word) + ".mp3"));
    }
}

TEST_F(ProgramWithService, AnUnknownWordShowsItsPhoneticsAndNoMeanings) {
    prepareWord("qwxzvk");

    EXPECT_GE(shownPhonetics().size(), 3u);
    EXPECT_EQ(fake.text(kPhoneticBox), "");
    EXPECT_EQ(currentWord.meaningHtml, "");
}

TEST_F(ProgramWithService, AWordWithChineseTextIsSentAsGbkAndAnswered) {
    // A learner's own bank may hold Chinese; the program sends it as GBK.
    prepareWord("苹果");

    EXPECT_GE(shownPhonetics().size(), 3u);
    EXPECT_EQ(fake.text(kPhoneticBox), "");
}
