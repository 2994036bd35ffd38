// The statistics page from a record made here, answer by answer on known
// days, its figures checked against counts made by hand; the CSV export and
// the saved files.
#include "stats/learning_stats.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "record/learning_record.h"
#include "stats/record_csv.h"
#include "stats/statistics_window.h"
#include "stats/stats_page.h"
#include "stats/stats_source.h"
#include "support/fake_platform.h"
#include "support/program_folder.h"

namespace {

constexpr std::int64_t kHourMs = 3600LL * 1000;
constexpr std::int64_t kDayMs = 24 * kHourMs;
const int kFirstDay = 19783;  // 2024-03-01, a Friday

// A record in a fresh program folder; the virtual clock starts at
// 2024-03-01 00:00 (the fake's local time is UTC).
struct StatsRecord : ::testing::Test {
    FakePlatform fake;
    TestProgramFolder folder;

    void SetUp() override {
        fake.setStartTime(DateTime{2024, 3, 1, 0, 0, 0});
        fake.advance(10 * kHourMs);
        openLearningRecord();
        ASSERT_NE(keptLearningRecord(), nullptr);
    }
    void TearDown() override { closeLearningRecord(); }

    void moveTo(int day, int hour, int minute) {
        fake.advance(day * kDayMs + hour * kHourMs + minute * 60000 - fake.now());
    }
    void answer(const Text& entry, const Text& typed) {
        AnswerFacts facts;
        facts.bank = "04四级\\四级-001.txt";
        facts.entry = entry;
        facts.typed = typed;
        facts.correct = typed == entry;
        facts.answerMs = 1500;
        recordAnswer(facts);
    }
    // Eleven answers over five learning days, none on the third (day 2),
    // one at 03:59 that still belongs to the evening before, and none today
    // (day 5).
    void practise() {
        moveTo(0, 10, 0), answer("necessary", "neccessary");
        moveTo(0, 10, 1), answer("receive", "receive");
        moveTo(1, 3, 59), answer("separate", "seperate");
        moveTo(1, 4, 0), answer("receive", "recieve");
        moveTo(1, 4, 1), answer("separate", "separate");
        moveTo(3, 9, 0), answer("necessary", "neccessary");
        moveTo(3, 9, 1), answer("necessary", "necesary");
        moveTo(3, 9, 2), answer("accommodate", "acomodate");
        moveTo(4, 20, 0), answer("necessary", "necessary");
        moveTo(4, 20, 1), answer("accommodate", "accommodate");
        moveTo(4, 20, 2), answer("until", "untill");
        moveTo(5, 12, 0);
    }
    LearningStats statsNow() {
        StatsInput input;
        EXPECT_EQ(readAnswers(*keptLearningRecord(), input.answers), 0);
        EXPECT_EQ(readWordHistories(*keptLearningRecord(), input.words), 0);
        input.lists = readWordLists();
        input.today = kFirstDay + 5;
        return computeLearningStats(input);
    }
    bool pageShows(const Text& text) {
        const auto& shapes = fake.pagesShown.back().shapes;
        return std::any_of(shapes.begin(), shapes.end(), [&](const Shape& s) { return s.text == text; });
    }
};

Text dataLine(const Bytes& csv, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) start = csv.find("\r\n", start) + 2;
    return csv.substr(start, csv.find("\r\n", start) - start);
}

}  // namespace

TEST_F(StatsRecord, TheFiguresMatchTheAnswersDayByDay) {
    practise();
    const LearningStats s = statsNow();

    EXPECT_EQ(s.answersToday, 0);
    EXPECT_EQ(s.streak, 2);  // days 4 and 3; day 2 had none
    EXPECT_EQ(s.wordsPractised, 5);
    EXPECT_EQ(s.answersTotal, 11);

    // The calendar: whole weeks from a Monday, today in the last one.
    EXPECT_EQ(weekdayOfDay(s.heatmapFirstDay), 0);
    EXPECT_EQ((kFirstDay + 5 - s.heatmapFirstDay) / 7, kHeatmapWeeks - 1);
    const int counts[] = {3, 2, 0, 3, 3, 0};
    for (int d = 0; d < 6; ++d) EXPECT_EQ(s.heatmap[kFirstDay + d - s.heatmapFirstDay], counts[d]) << d;

    ASSERT_EQ(s.accuracy.size(), 4u);
    const int days[] = {0, 1, 3, 4}, answers[] = {3, 2, 3, 3}, right[] = {1, 1, 0, 2};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.accuracy[i].day, kFirstDay + days[i]);
        EXPECT_EQ(s.accuracy[i].answers, answers[i]);
        EXPECT_EQ(s.accuracy[i].right, right[i]);
    }

    ASSERT_EQ(s.wrongWords.size(), 5u);
    EXPECT_EQ(s.wrongWords[0].entry, "necessary");
    EXPECT_EQ(s.wrongWords[0].misses, 3);
    EXPECT_EQ(s.wrongWords[0].commonTyped, "neccessary");
    EXPECT_EQ(s.wrongWords[0].commonCount, 2);
    EXPECT_EQ(s.wrongWords[1].entry, "accommodate");

    const KindTally& doubling = s.kinds[static_cast<int>(MistakeKind::Doubling)];
    EXPECT_EQ(doubling.count, 5);
    EXPECT_EQ(doubling.exampleTyped, "untill");
    EXPECT_EQ(s.kinds[static_cast<int>(MistakeKind::Vowel)].count, 1);
    EXPECT_EQ(s.kinds[static_cast<int>(MistakeKind::Order)].count, 1);

    // The forecast holds every practised word once, today's due ones included.
    int forecast = 0;
    for (int n : s.forecast) forecast += n;
    EXPECT_EQ(forecast, s.wordsPractised);
    EXPECT_EQ(s.forecast.size(), 1u + kForecastDays);
}

// Today's answers count from 04:00, so the streak runs up to today.
TEST_F(StatsRecord, AnswersAfterFourTodayStartTheDayAndTheStreak) {
    practise();
    moveTo(5, 4, 0), answer("until", "until");
    moveTo(6, 3, 0);  // still day 5
    StatsInput input;
    ASSERT_EQ(readAnswers(*keptLearningRecord(), input.answers), 0);
    input.today = kFirstDay + 5;
    const LearningStats s = computeLearningStats(input);
    EXPECT_EQ(s.answersToday, 1);
    EXPECT_EQ(s.rightToday, 1);
    EXPECT_EQ(s.streak, 3);
}

TEST_F(StatsRecord, WordListsCountTheirEntriesByWhatTheLearnerDid) {
    folder.makeFolder("\\单词表\\04四级");
    folder.makeFolder("\\单词表\\02中考");
    folder.makeFolder("\\单词表\\00复习");
    folder.makeFolder("\\单词表\\01示例");
    folder.write("\\单词表\\04四级\\四级-001.txt", "necessary\r\nreceive\r\nzebra");
    folder.write("\\单词表\\04四级\\四级-002.txt", "necessary\r\nyellow");
    folder.write("\\单词表\\02中考\\中考-001.txt", "apple");
    folder.write("\\单词表\\00复习\\错词本.txt", "necessary");
    folder.write("\\单词表\\01示例\\示例.txt", "sample");
    folder.write("\\单词表\\我的.txt", "until\r\nhello");
    practise();
    const LearningStats s = statsNow();
    ASSERT_EQ(s.lists.size(), 3u);
    EXPECT_EQ(s.lists[0].name, "中考");
    EXPECT_EQ(s.lists[0].notPractised, 1);
    EXPECT_EQ(s.lists[1].name, "四级");
    EXPECT_EQ(s.lists[1].mastered + s.lists[1].practised, 2);  // necessary once, receive
    EXPECT_EQ(s.lists[1].notPractised, 2);                     // zebra, yellow
    EXPECT_EQ(s.lists[2].name, "我的词库");
    EXPECT_EQ(s.lists[2].mastered + s.lists[2].practised, 1);
    EXPECT_EQ(s.lists[2].notPractised, 1);
}

// Mastery, the due count and the forecast's bars from histories set by hand.
TEST(LearningStats, TheForecastAndMasteryFollowTheDueDays) {
    StatsInput input;
    input.today = 100;
    // recalled: right without the hint at the last answer.
    auto word = [&](const Text& entry, int due, bool right, bool recalled) {
        WordHistory history;
        history.review.dueDay = due;
        history.lastCorrect = right;
        history.lastRecalled = recalled;
        input.words[entry] = history;
    };
    word("a", 90, true, true), word("b", 99, false, false), word("c", 100, true, true);
    word("d", 101, true, true), word("e", 129, true, true), word("f", 130, true, true);
    word("g", 140, true, false);  // copied from the hint
    input.lists.push_back(WordListEntries{"四级", {"a", "c", "d", "g", "d", "z"}});
    const LearningStats s = computeLearningStats(input);
    EXPECT_EQ(s.dueToday, 3);
    EXPECT_EQ(s.wordsMastered, 3);  // d, e, f
    EXPECT_EQ(s.forecast[0], 2);
    EXPECT_EQ(s.forecast[1], 1);
    EXPECT_EQ(s.forecast[2], 1);
    EXPECT_EQ(s.forecast[30], 1);
    ASSERT_EQ(s.lists.size(), 1u);
    EXPECT_EQ(s.lists[0].mastered, 1);
    EXPECT_EQ(s.lists[0].practised, 3);
    EXPECT_EQ(s.lists[0].notPractised, 1);
}

TEST(LearningStats, DaysBeginAtFourLocalTime) {
    const std::int64_t midnight = 19783LL * kDayMs;  // 2024-03-01 00:00 UTC
    EXPECT_EQ(learningDayOfUtc(midnight + 4 * kHourMs, 0), 19783);
    EXPECT_EQ(learningDayOfUtc(midnight + 4 * kHourMs - 1, 0), 19782);
    // 20:00 UTC is 04:00 the next day in Beijing.
    EXPECT_EQ(learningDayOfUtc(midnight + 20 * kHourMs, 8 * 3600), 19784);
    EXPECT_EQ(learningDayOfUtc(midnight + 20 * kHourMs - 1000, 8 * 3600), 19783);
    EXPECT_EQ(learningDayOfUtc(-1, 0), -1);
    const int shades[][2] = {{0, 0}, {1, 1}, {19, 1}, {20, 2}, {50, 3}, {100, 4}, {5000, 4}};
    for (const auto& [answers, shade] : shades) EXPECT_EQ(heatmapShade(answers), shade) << answers;
}

TEST(RecordCsv, FieldsAreQuotedConvertedAndNeverFormulas) {
    EXPECT_EQ(csvField("plain", true), "plain");
    EXPECT_EQ(csvField("a,b", true), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\"", true), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("two\r\nlines", true), "\"two\r\nlines\"");
    for (const char* formula : {"=1+1", "+1", "-1", "@SUM(A1)", "\tx"})
        EXPECT_EQ(csvField(formula, true), "'" + Bytes(formula)) << formula;
    EXPECT_EQ(csvField("=HYPERLINK(\"x\",1)", true), "\"'=HYPERLINK(\"\"x\"\",1)\"");
    EXPECT_EQ(csvField("-1", false), "-1");

    // 你 is C4E3; a lead byte before a blank, 0xFF and a lead byte at the
    // end are no GBK, and the blank after the bad lead byte is kept.
    EXPECT_EQ(gbkToUtf8Marked("\xC4\xE3"), "\xE4\xBD\xA0");
    EXPECT_EQ(gbkToUtf8Marked("a\x81 b\xFF"
                              "c\xC4"),
              "a\xEF\xBF\xBD b\xEF\xBF\xBD"
              "c\xEF\xBF\xBD");
    EXPECT_EQ(gbkToUtf8Marked("\x80"), "\xE2\x82\xAC");

    AnswerRow row;
    row.utcMs = 19783LL * kDayMs + 10 * kHourMs + 3 * 60000 + 5000;  // 2024-03-01 10:03:05 UTC
    row.bank = "04四级\\四级-001.txt";
    row.entry = "ice-cream";
    row.typed = "-ice, cream";
    row.hintShown = true;
    row.answerMs = 2345;
    const Bytes csv = answersCsv({row}, 8 * 3600);
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(dataLine(csv.substr(3), 0), gbkToUtf8Marked("时间,词库,单词,输入,结果,提示,用时毫秒"));
    EXPECT_EQ(dataLine(csv.substr(3), 1), "2024-03-01 18:03:05," + gbkToUtf8Marked("04四级\\四级-001.txt") +
                                              ",ice-cream,\"'-ice, cream\"," + gbkToUtf8Marked("错,是") +
                                              ",2345");
}

TEST_F(StatsRecord, TheWindowSavesItsPictureAndTheRecordUnderFreshNames) {
    practise();
    openStatistics();
    ASSERT_EQ(fake.pagesShown.size(), 1u);
    EXPECT_EQ(fake.pagesShown[0].caption, "学习统计");
    EXPECT_EQ(fake.pagesShown[0].buttons.size(), 2u);
    EXPECT_EQ(fake.pageScale, 1.0);
    EXPECT_TRUE(pageShows("necessary ← neccessary ×2"));
    EXPECT_TRUE(pageShows("2 天"));

    onStatisticsCommand(kSavePicture);
    onStatisticsCommand(kSavePicture);
    EXPECT_EQ(folder.read("\\统计\\学习统计-2024-03-06.png"), fake.pagePictureBytes);
    EXPECT_EQ(folder.read("\\统计\\学习统计-2024-03-06-2.png"), fake.pagePictureBytes);
    ASSERT_EQ(fake.messageBoxes.size(), 2u);
    EXPECT_NE(fake.messageBoxes[1].message.find("学习统计-2024-03-06-2.png"), Text::npos);

    // A picture the window could not make is no file.
    fake.pagePictureBytes.clear();
    onStatisticsCommand(kSavePicture);
    EXPECT_FALSE(folder.exists("\\统计\\学习统计-2024-03-06-3.png"));
    EXPECT_EQ(fake.messageBoxes.back().message, "图片保存失败");

    onStatisticsCommand(kExportRecord);
    const Bytes csv = folder.read("\\统计\\学习记录-2024-03-06.csv");
    EXPECT_EQ(dataLine(csv, 1), "2024-03-01 10:00:00," + gbkToUtf8Marked("04四级\\四级-001.txt") +
                                    ",necessary,neccessary," + gbkToUtf8Marked("错,否") + ",1500");
    EXPECT_EQ(dataLine(csv, 11).substr(0, 19), "2024-03-05 20:02:00");
    EXPECT_EQ(csv.substr(csv.size() - 2), "\r\n");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 12);

    // A second click shows the page again, in the same window; on a screen
    // that is too small for it, smaller.
    fake.screenWorkArea = Rect{0, 0, 1366, 600};
    openStatistics();
    EXPECT_EQ(fake.pagesShown.size(), 2u);
    EXPECT_DOUBLE_EQ(fake.pageScale, 575.0 / 700);
}

TEST_F(StatsRecord, AnEmptyRecordOrNoneShowsZerosAndWritesNothingItCannot) {
    openStatistics();
    EXPECT_TRUE(pageShows("还没有答题记录：选择一个词库，开始一次听写吧。"));
    EXPECT_EQ(fake.pagesShown.back().buttons.size(), 2u);

    closeLearningRecord();
    openStatistics();
    EXPECT_TRUE(pageShows("学习记录没有打开。"));
    EXPECT_TRUE(fake.pagesShown.back().buttons.empty());
    onStatisticsCommand(kSavePicture);
    onStatisticsCommand(kExportRecord);
    EXPECT_FALSE(folder.exists("\\统计"));
    EXPECT_TRUE(fake.messageBoxes.empty());
}
