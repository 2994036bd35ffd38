#include <gtest/gtest.h>

#include "service/options.h"
#include "service/request_line.h"
#include "service/settings_file.h"
#include "service/text_encoding.h"
#include "service/word_target.h"

using namespace service;

TEST(RequestLine, TakesRawBlanksAndNonAsciiBytesIntoTheTarget) {
    RequestLine line;
    ASSERT_TRUE(parseRequestLine("GET /ice cream HTTP/1.0", line));
    EXPECT_EQ(line.method, "GET");
    EXPECT_EQ(line.target, "/ice cream");
    EXPECT_EQ(line.version, "HTTP/1.0");

    ASSERT_TRUE(
        parseRequestLine("GET /text2audio?lan=uk&pid=101&ie=UTF-8&text=ice cream&spd=2 HTTP/1.0", line));
    EXPECT_EQ(line.target, "/text2audio?lan=uk&pid=101&ie=UTF-8&text=ice cream&spd=2");

    ASSERT_TRUE(parseRequestLine(std::string("GET /\xC6\xBB\0\xB9\xFB HTTP/1.1", 19), line));
    EXPECT_EQ(line.target, std::string("/\xC6\xBB\0\xB9\xFB", 6));
    EXPECT_EQ(line.version, "HTTP/1.1");
}

TEST(RequestLine, AcceptsABareTargetAndAnAbsoluteUrl) {
    RequestLine line;
    ASSERT_TRUE(parseRequestLine("GET /apple", line));
    EXPECT_EQ(line.target, "/apple");
    EXPECT_EQ(line.version, "");
    // A trailing field that is no version belongs to the target.
    ASSERT_TRUE(parseRequestLine("GET /look after", line));
    EXPECT_EQ(line.target, "/look after");
    ASSERT_TRUE(parseRequestLine("GET http://127.0.0.1:47800/apple pie HTTP/1.0", line));
    EXPECT_EQ(line.target, "/apple pie");
}

TEST(RequestLine, RefusesLinesWithoutMethodOrPath) {
    RequestLine line;
    EXPECT_FALSE(parseRequestLine("", line));
    EXPECT_FALSE(parseRequestLine("GET", line));
    EXPECT_FALSE(parseRequestLine(" /apple HTTP/1.0", line));
    EXPECT_FALSE(parseRequestLine("GET apple HTTP/1.0", line));
    EXPECT_FALSE(parseRequestLine("GET  HTTP/1.0", line));
    EXPECT_EQ(firstLine("GET /a b HTTP/1.0\r\nHost: x\r\n\r\n"), "GET /a b HTTP/1.0");
    EXPECT_EQ(firstLine("GET /a\n\n"), "GET /a");
}

TEST(WordTarget, ADictionaryWordIsTheWholeTargetAfterTheSlash) {
    WordRequest request = parseWordTarget("/ice cream");
    EXPECT_EQ(request.route, Route::Page);
    EXPECT_EQ(request.word, "ice cream");
    EXPECT_EQ(parseWordTarget("/what?").word, "what?");
    EXPECT_EQ(parseWordTarget("/a%20b%zz%4").word, "a b%zz%4");
    EXPECT_EQ(parseWordTarget("/  rock\tn\x01roll  ").word, "rock n roll");
    EXPECT_EQ(parseWordTarget("/").word, "");
    EXPECT_EQ(parseWordTarget("/../etc/passwd").word, "../etc/passwd");
    // The program cuts its URLs at "#"; a fragment that still arrives is dropped.
    EXPECT_EQ(parseWordTarget("/c#sharp").word, "c");
}

TEST(WordTarget, GbkAndUtf8WordsBothArriveAsUtf8) {
    const std::string utf8Apple = "\xE8\x8B\xB9\xE6\x9E\x9C";  // 苹果
    EXPECT_EQ(parseWordTarget("/\xC6\xBB\xB9\xFB").word, utf8Apple);
    EXPECT_EQ(parseWordTarget("/" + utf8Apple).word, utf8Apple);
    EXPECT_EQ(parseWordTarget("/%C6%BB%B9%FB").word, utf8Apple);
    // A lone lead byte cannot be decoded and is replaced, not passed on.
    EXPECT_EQ(parseWordTarget("/a\xC6").word, "a\xEF\xBF\xBD");
    EXPECT_TRUE(isValidUtf8(parseWordTarget("/\xFF\xFE\x80\x81").word));
}

TEST(WordTarget, SpeechTakesTheTextUpToTheLastSpeedField) {
    WordRequest request = parseWordTarget("/text2audio?lan=uk&pid=101&ie=UTF-8&text=ice cream&spd=2");
    EXPECT_EQ(request.route, Route::Speech);
    EXPECT_EQ(request.word, "ice cream");
    EXPECT_EQ(request.speed, 2);
    EXPECT_EQ(request.language, "uk");
    // The language only picks a voice: letters, short, and never from the text.
    EXPECT_EQ(parseWordTarget("/text2audio?lan=../x&text=a").language, "");
    EXPECT_EQ(parseWordTarget("/text2audio?lan=abcdefghi&text=a").language, "");
    EXPECT_EQ(parseWordTarget("/text2audio?text=a&lan=en&spd=2").language, "");

    request = parseWordTarget("/text2audio?lan=uk&pid=101&ie=UTF-8&text=rock & roll&spd=7");
    EXPECT_EQ(request.word, "rock & roll");
    EXPECT_EQ(request.speed, 7);

    // Cut at "#" by the program: no speed field, the default speed.
    request = parseWordTarget("/text2audio?lan=uk&pid=101&ie=UTF-8&text=C");
    EXPECT_EQ(request.word, "C");
    EXPECT_EQ(request.speed, 5);

    EXPECT_EQ(parseWordTarget("/text2audio?lan=uk").word, "");
    EXPECT_EQ(parseWordTarget("/text2audio?context=x&text=y&spd=x").word, "y");
    EXPECT_EQ(parseWordTarget("/text2audio?text=y&spd=x").speed, 5);
    EXPECT_EQ(parseWordTarget("/text2audiox?text=y").route, Route::Page);
}

TEST(WordTarget, SpeedsMapOntoARisingRangeOfWordsPerMinute) {
    EXPECT_EQ(wordsPerMinute(5), 175);
    EXPECT_LT(wordsPerMinute(2), wordsPerMinute(3));
    EXPECT_EQ(wordsPerMinute(-4), wordsPerMinute(0));
    EXPECT_EQ(wordsPerMinute(42), wordsPerMinute(9));
    EXPECT_GE(wordsPerMinute(0), 80);
    EXPECT_LE(wordsPerMinute(9), 450);
}

TEST(TextEncoding, ValidatesUtf8Strictly) {
    EXPECT_TRUE(isValidUtf8("apple \xC3\xA6 \xE8\x8B\xB1 \xF0\x9F\x8D\x8E"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(isValidUtf8("\xE8\x8B"));          // cut short
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
}

TEST(TextEncoding, ClipsWithoutSplittingACharacter) {
    const std::string text = "ab\xE8\x8B\xB1";
    EXPECT_EQ(clipUtf8(text, 10), text);
    EXPECT_EQ(clipUtf8(text, 4), "ab");
    EXPECT_EQ(clipUtf8(text, 5), text);
    EXPECT_EQ(htmlEscape("<a href=\"x\">&'"), "&lt;a href=&quot;x&quot;&gt;&amp;&#39;");
}

TEST(Options, PortAndDataFolder) {
    Options options;
    std::string error;
    const char* args[] = {"svc", "--port", "8080", "--data", "/d", "--settings", "/s.ini", "--voice", "rms"};
    ASSERT_TRUE(parseOptions(9, args, options, error));
    EXPECT_EQ(options.port, 8080);
    EXPECT_EQ(options.dataDir, "/d");
    EXPECT_EQ(options.settingsFile, "/s.ini");
    EXPECT_EQ(options.voice, "rms");

    const char* defaults[] = {"svc"};
    Options fresh;
    ASSERT_TRUE(parseOptions(1, defaults, fresh, error));
    EXPECT_EQ(fresh.port, 47800);

    for (const char* bad : {"65536", "-1", "80a", "", "999999"}) {
        const char* badArgs[] = {"svc", "--port", bad};
        Options o;
        EXPECT_FALSE(parseOptions(3, badArgs, o, error)) << bad;
        EXPECT_NE(error.find("port"), std::string::npos);
    }
    const char* missing[] = {"svc", "--data"};
    EXPECT_FALSE(parseOptions(2, missing, options, error));
    const char* unknown[] = {"svc", "--verbose"};
    EXPECT_FALSE(parseOptions(2, unknown, options, error));
}

TEST(SettingsFile, OnlyAWellFormedVoiceLineIsTakenAndOtherKeysAreLeftToTheProgram) {
    std::string voice, problem;
    EXPECT_TRUE(parseSettingsVoice(
        "\xEF\xBB\xBF; mine\r\ndictionary = d.example.org\r\n  voice =  rms \r\nspeech=x", voice, problem));
    EXPECT_EQ(voice, "rms");
    EXPECT_TRUE(parseSettingsVoice("speech=x\n", voice, problem));
    EXPECT_EQ(voice, "");

    const std::string bad[] = {
        "voice=rms\nvoice=awb",
        "voice=a b",
        "voice=",
        "voice=../rms",
        "voice=rms\nnonsense",
        std::string("voice=rms\0", 10),
        "voice=rms\n#" + std::string(kMaxSettingsBytes, 'x'),
    };
    for (const std::string& text : bad) {
        voice = "old";
        problem.clear();
        EXPECT_FALSE(parseSettingsVoice(text, voice, problem)) << text.substr(0, 30);
        EXPECT_EQ(voice, "");
        EXPECT_FALSE(problem.empty());
    }
}
