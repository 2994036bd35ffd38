// Benchmarks of the statistics page: a record of 100,000 answers over
// 10,000 words across 400 days, with the bundled banks in the word-bank
// folder. From the open record to the laid-out page, and the computation on
// its own.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <set>
#include <string>

#include "null_platform.h"
#include "record/learning_day.h"
#include "record/learning_record.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "stats/statistics_window.h"
#include "stats/stats_page.h"
#include "stats/stats_source.h"

namespace {

constexpr int kWords = 10000;
constexpr int kAnswers = 100000;
constexpr int kDays = 400;

struct ClockPlatform : NullPlatform {
    DateTime localTime() override { return DateTime{2026, 12, 20, 10, 0, 0}; }
    std::int64_t utcMilliseconds() override {
        return (calendarDayNumber(2026, 12, 20) * 86400LL + 36000) * 1000;
    }
};

// A program folder holding a copy of the bundled banks and the record.
struct StatsFolder {
    std::string native;
    StatsFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vorbelzoz-stats-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        native = pattern;
        // A u8 literal keeps the build folder's UTF-8 path out of the GBK execution character set.
        const std::string banks = reinterpret_cast<const char*>(u8"" VORBELZOZ_BUNDLED_BANKS);
        std::filesystem::copy(banks, native + "/" + gbkToUtf8("单词表"),
                              std::filesystem::copy_options::recursive);
        setProgramFolderForTesting(utf8ToGbkText(native));
        openLearningRecord();
        fill();
    }
    ~StatsFolder() {
        closeLearningRecord();
        setProgramFolderForTesting(Text());
        std::error_code ignored;
        std::filesystem::remove_all(native, ignored);
    }

    // Written straight into the tables in one transaction: the page reads
    // them, so how they were made does not matter, and this is quick.
    void fill() {
        std::set<Text> unique;
        for (const WordListEntries& list : readWordLists())
            for (const Text& entry : list.entries)
                if (unique.size() < kWords) unique.insert(entry);
        const std::vector<Text> words(unique.begin(), unique.end());
        sqlite3* db = keptLearningRecord()->db;
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* answer = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO answers(utc_ms, bank, entry, typed, correct, hint_shown, answer_ms)"
                           " VALUES(?1, ?2, ?3, ?4, ?5, 0, 2000)",
                           -1, &answer, nullptr);
        const int today = todayLearningDay();
        for (int a = 0; a < kAnswers; ++a) {
            const int day =
                today - kDays + 1 + static_cast<int>(static_cast<long long>(a) * kDays / kAnswers);
            const Text& entry = words[a % words.size()];
            // Every seventh answer misses a letter.
            const Text typed = a % 7 == 0 && entry.size() > 3 ? entry.substr(0, 2) + entry.substr(3) : entry;
            sqlite3_bind_int64(answer, 1, (day * 86400LL + 36000) * 1000);
            sqlite3_bind_blob(answer, 2, "04\xCB\xC4\xBC\xB6\\x.txt", 11, SQLITE_STATIC);
            sqlite3_bind_blob(answer, 3, entry.data(), static_cast<int>(entry.size()), SQLITE_TRANSIENT);
            sqlite3_bind_blob(answer, 4, typed.data(), static_cast<int>(typed.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(answer, 5, typed == entry ? 1 : 0);
            sqlite3_step(answer);
            sqlite3_reset(answer);
        }
        sqlite3_finalize(answer);
        sqlite3_stmt* word = nullptr;
        sqlite3_prepare_v2(
            db,
            "INSERT INTO words(entry, stability, difficulty, last_day, due_day, reviews, lapses,"
            " last_correct, missed_answer, right_days, last_right_day, last_recalled)"
            " VALUES(?1, 5, 5, ?2, ?3, 10, 1, ?4, 0, 0, -1, ?4)",
            -1, &word, nullptr);
        for (std::size_t i = 0; i < words.size(); ++i) {
            sqlite3_bind_blob(word, 1, words[i].data(), static_cast<int>(words[i].size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(word, 2, today - 1);
            sqlite3_bind_int(word, 3, today - 20 + static_cast<int>(i % 60));
            sqlite3_bind_int(word, 4, i % 3 != 0 ? 1 : 0);
            sqlite3_step(word);
            sqlite3_reset(word);
        }
        sqlite3_finalize(word);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
};

// What the 学习统计 button does before the window paints: read the record
// and the banks, compute, lay out.
void BM_StatisticsPage(benchmark::State& state) {
    ClockPlatform clock;
    StatsFolder folder;
    for (auto _ : state) openStatistics();
    if (keptLearningRecord() == nullptr) state.SkipWithError("record not kept");
}
BENCHMARK(BM_StatisticsPage)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// The figures and the layout alone, from what was read.
void BM_StatisticsComputation(benchmark::State& state) {
    ClockPlatform clock;
    StatsFolder folder;
    StatsInput input;
    readAnswers(*keptLearningRecord(), input.answers);
    readWordHistories(*keptLearningRecord(), input.words);
    input.lists = readWordLists();
    input.today = todayLearningDay();
    for (auto _ : state) benchmark::DoNotOptimize(statisticsPage(computeLearningStats(input), Text(), true));
}
BENCHMARK(BM_StatisticsComputation)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace

namespace {

// The parts of the page's reading, one by one.
void BM_StatisticsReading(benchmark::State& state) {
    ClockPlatform clock;
    StatsFolder folder;
    for (auto _ : state) {
        StatsInput input;
        switch (state.range(0)) {
            case 0:
                readAnswers(*keptLearningRecord(), input.answers);
                break;
            case 1:
                readWordHistories(*keptLearningRecord(), input.words);
                break;
            default:
                input.lists = readWordLists();
                break;
        }
        benchmark::DoNotOptimize(input);
    }
}
BENCHMARK(BM_StatisticsReading)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
