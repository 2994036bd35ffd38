// Whole quizzes walked through the real handlers: the program starts, the
// learner takes a bank, starts a quiz and answers on the fake platform's
// virtual clock.
#include <gtest/gtest.h>

#include <algorithm>

#include "lookup/dictionary_lookup.h"
#include "lookup/pronunciation_cache.h"
#include "support/fake_platform.h"
#include "support/program_folder.h"
#include "support/scenario.h"
#include "support/web_services.h"
#include "ui/bank_window_layout.h"
#include "ui/main_window_layout.h"

namespace {

using namespace mainWindow;

const ControlRef kAnswerBox = ctl(编辑框2);

// The program's generator, written out again: seeded with the second, one
// value per draw.
int firstValueAfterSeeding(int seed) {
    std::uint32_t state = static_cast<std::uint32_t>(seed) * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

const TextArray kTenWords = {"apple", "banana", "cherry", "damson", "elder",
                             "fig",   "grape",  "hazel",  "iris",   "juniper"};

}  // namespace

TEST(QuizScenario, TenWordsWithSevenRightTwoWrongAndOneStopped) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", kTenWords);
    serveWords(fake);
    fake.setStartTime(DateTime{2024, 3, 1, 10, 0, 0});

    Answers answers;
    bool reportButtonDisabledDuringQuiz = false;
    chooseFirstBankAt(fake, 500);
    fake.clickAt(1000, ctl(按钮1));
    for (int i = 1; i <= 9; ++i) {
        bool wrong = i == 2 || i == 6;
        answerAt(fake, 3500 + 2000 * (i - 1), answers, wrong ? Typing(dropLastLetter) : Typing());
    }
    fake.at(3600, [&] { reportButtonDisabledDuringQuiz = !fake.enabled(ctl(按钮2)); });
    fake.at(21000, [&] { answers.asked.push_back(fake.text(ctl(拼写标签))); });
    fake.clickAt(21500, ctl(答题按钮1));

    EXPECT_EQ(runProgram(), 0);
    ASSERT_EQ(answers.asked.size(), 10u);

    // The draw follows the generator, re-seeded with the clock's second
    // before every word, over the entries not yet asked.
    std::vector<std::int64_t> times;
    std::vector<Text> requested = dictionaryRequests(fake, &times);
    ASSERT_EQ(requested.size(), 10u);
    TextArray remaining = kTenWords;
    for (std::size_t k = 0; k < requested.size(); ++k) {
        int second = static_cast<int>(times[k] / 1000 % 60);
        int p = 1 + firstValueAfterSeeding(second) % static_cast<int>(remaining.size());
        EXPECT_EQ(requested[k], remaining[p - 1]) << "word " << k + 1;
        remaining.erase(remaining.begin() + (p - 1));
    }
    EXPECT_EQ(answers.asked, requested);

    // Each word: its page once and, once only, its pronunciation.
    std::vector<Text> urls = fake.requestedUrls();
    EXPECT_EQ(urls.size(), 20u);
    for (const Text& word : kTenWords) {
        EXPECT_EQ(countOf(urls, dictionaryUrl(word)), 1) << word;
        EXPECT_EQ(countOf(urls, pronunciationUrl(word)), 1) << word;
        EXPECT_EQ(folder.read("\\mp3\\" + word + ".mp3"), pronunciationMp3(word));
    }

    const std::vector<Text>& status = fake.control(ctl(标签4)).textHistory;
    ASSERT_EQ(status.size(), 9u);  // none for the stopped word
    EXPECT_EQ(status[2],
              "按F1可以重听语音    目前已进行了：3个   还有： 7个  正确数量：2个  错误数量：1正确率:66%");
    EXPECT_EQ(status[8],
              "按F1可以重听语音    目前已进行了：9个   还有： 1个  正确数量：7个  错误数量：2正确率:77%");

    Text details = answers.asked[1] + "写成了>" + answers.typed[1] + "\r\n" + answers.asked[5] + "写成了>" +
                   answers.typed[5] + "\r\n";
    Text wrongWords = answers.asked[1] + "\r\n" + answers.asked[5] + "\r\n";
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0].message,
              "答题结束 \r\n共答题：10\r\n错误次数:2\r\n求助了：0\r\n" + details);
    EXPECT_EQ(fake.messageBoxes[0].caption, "信息：");
    EXPECT_EQ(fake.messageBoxes[0].flags, kMbOk);
    EXPECT_EQ(folder.read("\\日志\\报告CET4.txt"),
              "答题范围：CET4.txt\r\n共答题：10\r\n正确率:70%\r\n错误次数:2\r\n求助了：0\r\n错误详情\r\n" +
                  details + "\r\n错词表：\r\n" + wrongWords + std::string(64, '-'));

    std::vector<Text> sounds = fake.soundLog();
    EXPECT_EQ(countOf(sounds, "start 开始.wav"), 1);
    EXPECT_EQ(countOf(sounds, "start 答对.wav"), 7);
    EXPECT_EQ(countOf(sounds, "start 答错.wav"), 2);
    EXPECT_EQ(sounds.back(), "start 结束.wav");
    EXPECT_TRUE(reportButtonDisabledDuringQuiz);
    EXPECT_TRUE(fake.enabled(ctl(按钮2)));
    EXPECT_EQ(fake.text(kAnswerBox), "");
}

TEST(QuizScenario, EachWordStopsThePlayerAndPlaysItsPronunciation) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("one.txt", {"apple"});
    serveWords(fake);
    Answers answers;
    chooseFirstBankAt(fake, 500);
    fake.clickAt(1000, ctl(按钮1));
    answerAt(fake, 3500, answers);
    EXPECT_EQ(runProgram(), 0);

    std::vector<Text> commands = fake.mediaCommandTexts();
    Text soundFile = folder.folder() + "\\mp3\\apple.mp3";
    std::vector<Text> expected = {"open mp3file Alias sonido",
                                  "set cd time format tmsf wait",
                                  "Stop MM",
                                  "close MM",
                                  "Open " + soundFile + " Alias MM",
                                  "play MM"};
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(fake.control(ctl(超文本浏览框1)).htmlBodies, std::vector<Text>{meaningHtmlOf("apple")});
    EXPECT_EQ(fake.control(ctl(提示标签1)).textHistory, std::vector<Text>{"按F2进行提示"});
    EXPECT_EQ(fake.messageBoxes.size(), 1u);
}

TEST(QuizScenario, StopDuringTheStartPauseStillAsksTheFirstWord) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"apple", "banana", "cherry"});
    serveWords(fake);
    chooseFirstBankAt(fake, 500);
    fake.clickAt(1000, ctl(按钮1));
    fake.clickAt(2000, ctl(答题按钮1));
    EXPECT_EQ(runProgram(), 0);

    EXPECT_EQ(dictionaryRequests(fake).size(), 1u);
    EXPECT_TRUE(fake.control(ctl(标签4)).textHistory.empty());
    EXPECT_EQ(fake.text(ctl(标签4)), "按F1可以重听语音");
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0].message, "答题结束 \r\n共答题：1\r\n错误次数:0\r\n求助了：0\r\n");
    EXPECT_EQ(folder.read("\\日志\\报告CET4.txt"),
              "答题范围：CET4.txt\r\n共答题：1\r\n正确率:0%\r\n错误次数:"
              "0\r\n求助了：0\r\n错误详情\r\n\r\n错词表：\r\n" +
                  std::string(64, '-'));
}

// "开始" pressed again while a quiz runs, in its start pause or while it
// waits for an answer, changes nothing: one quiz, one report, counts that
// add up.
TEST(QuizScenario, StartDuringARunningQuizDoesNothing) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"apple", "banana"});
    serveWords(fake);
    Answers answers;
    chooseFirstBankAt(fake, 500);
    fake.clickAt(1000, ctl(按钮1));
    fake.clickAt(2000, ctl(按钮1));  // in the start pause
    fake.clickAt(3500, ctl(按钮1));  // while the first word waits
    answerAt(fake, 6000, answers);
    answerAt(fake, 8000, answers);
    EXPECT_EQ(runProgram(), 0);

    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0].message, "答题结束 \r\n共答题：2\r\n错误次数:0\r\n求助了：0\r\n");
    const std::vector<Text>& status = fake.control(ctl(标签4)).textHistory;
    ASSERT_EQ(status.size(), 2u);
    EXPECT_EQ(status[1],
              "按F1可以重听语音    目前已进行了：2个   还有： 0个  正确数量：2个  错误数量：0正确率:100%");
    Text report = folder.read("\\日志\\报告CET4.txt");
    EXPECT_EQ(report.rfind("答题范围：CET4.txt\r\n共答题：2\r\n正确率:100%\r\n", 0), 0u) << report;

    // Two words asked, each page and each pronunciation fetched once.
    std::vector<Text> urls = fake.requestedUrls();
    EXPECT_EQ(dictionaryRequests(fake).size(), 2u);
    EXPECT_EQ(countOf(urls, pronunciationUrl("apple")), 1);
    EXPECT_EQ(countOf(urls, pronunciationUrl("banana")), 1);
    EXPECT_EQ(countOf(fake.soundLog(), "start 开始.wav"), 1);
    EXPECT_TRUE(answers.asked == TextArray({"apple", "banana"}) ||
                answers.asked == TextArray({"banana", "apple"}));
}

TEST(QuizScenario, UncheckingPronunciationTakesEffectFromTheNextWord) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"apple", "banana"});
    serveWords(fake);
    Answers answers;
    std::size_t commandsBeforeUncheck = 0;
    chooseFirstBankAt(fake, 500);
    fake.clickAt(1000, ctl(按钮1));
    fake.at(3200, [&] {
        commandsBeforeUncheck = fake.mediaCommands.size();
        fake.click(ctl(单选框3));
    });
    answerAt(fake, 3500, answers);
    answerAt(fake, 5500, answers);
    EXPECT_EQ(runProgram(), 0);

    // The first word played; nothing after the uncheck, the second is silent.
    EXPECT_EQ(commandsBeforeUncheck, 6u);
    EXPECT_EQ(fake.mediaCommands.size(), 6u);
    EXPECT_EQ(fake.messageBoxes.size(), 1u);
}

// Entries are free text: a phrase keeps its blank in the request and is
// cached under "_"; everything from "#" on never reaches the network.
TEST(QuizScenario, APhraseAndAWordWithAHash) {
    FakePlatform fake;
    TestProgramFolder folder;
    folder.writeBank("CET4.txt", {"ice cream", "C#"});
    serveWords(fake);
    Answers answers;
    chooseFirstBankAt(fake, 500);
    fake.clickAt(1000, ctl(按钮1));
    answerAt(fake, 3500, answers);
    answerAt(fake, 5500, answers);
    EXPECT_EQ(runProgram(), 0);

    std::vector<Text> objects;
    for (const HttpRecord& r : fake.httpRequests) objects.push_back(r.request.object);
    EXPECT_EQ(countOf(objects, "/ice cream"), 1);
    EXPECT_EQ(countOf(objects, "/text2audio?lan=uk&pid=101&ie=UTF-8&text=ice cream&spd=2"), 1);
    EXPECT_EQ(countOf(objects, "/C"), 1);
    EXPECT_EQ(countOf(objects, "/text2audio?lan=uk&pid=101&ie=UTF-8&text=C"), 1);
    EXPECT_EQ(folder.read("\\mp3\\ice_cream.mp3"), pronunciationMp3("ice cream"));
    EXPECT_EQ(folder.read("\\mp3\\C#.mp3"), pronunciationMp3("C"));
    EXPECT_EQ(countOf(fake.mediaCommandTexts(), "Open " + folder.folder() + "\\mp3\\ice_cream.mp3 Alias MM"),
              1);
    std::sort(answers.typed.begin(), answers.typed.end());
    EXPECT_EQ(answers.typed, (std::vector<Text>{"C#", "ice cream"}));
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0].message, "答题结束 \r\n共答题：2\r\n错误次数:0\r\n求助了：0\r\n");
}
