// Benchmarks of the learning record: one judged answer, the start-up work a
// large record adds before the bank window shows (open, review banks, row
// marks for a bundled-size bank list), and writing the two review banks.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "null_platform.h"
#include "record/bank_marks.h"
#include "record/learning_record.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "wordbank/bank_files.h"

namespace {

constexpr int kWords = 10000;
constexpr int kAnswers = 100000;
constexpr int kWordsPerBank = 50;
constexpr int kBanks = 850;  // about the bundled list; the first 200 hold the practised words

// A clock that stands still until told: 10:00 on a day of December 2026.
struct ClockPlatform : NullPlatform {
    int day = 1;
    std::int64_t ms = 0;
    DateTime localTime() override { return DateTime{2026, 12, day, 10, 0, 0}; }
    std::int64_t utcMilliseconds() override { return 1796119200000LL + (day - 1) * 86400000LL + ms; }
    std::int64_t tickCount() override { return ms; }
};

Text wordOf(int i) {
    return "word" + toText(i);
}

// A program folder with kBanks banks in sub-folders of 50 banks each, and a
// record of `answers` answers spread over kWords words and ten days.
struct BenchFolder {
    std::string native;
    explicit BenchFolder(int answers, ClockPlatform& clock) {
        std::string pattern = (std::filesystem::temp_directory_path() / "vorbelzoz-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        native = pattern;
        const std::string banks = native + "/" + gbkToUtf8("单词表");
        for (int b = 0; b < kBanks; ++b) {
            std::string sub = banks + "/" + std::to_string(b / 50);
            std::filesystem::create_directories(sub);
            std::ofstream out(sub + "/bank" + std::to_string(1000 + b) + ".txt", std::ios::binary);
            for (int w = 0; w < kWordsPerBank; ++w) out << wordOf((b * kWordsPerBank + w) % kWords) << "\r\n";
        }
        use();
        clock.day = 1;
        openLearningRecord();
        for (int a = 0; a < answers; ++a) {
            if (a > 0 && a % (answers / 10) == 0) ++clock.day;
            AnswerFacts answer;
            answer.bank = "bank" + toText(1000 + (a % kWords) / kWordsPerBank) + ".txt";
            answer.entry = wordOf(a % kWords);
            answer.typed = answer.entry;
            answer.correct = a % 7 != 0;
            recordAnswer(answer);
            if ((a + 1) % kWordsPerBank == 0) {
                QuizFacts quiz;
                quiz.bank = answer.bank;
                quiz.asked = kWordsPerBank;
                quiz.right = kWordsPerBank - 7;
                quiz.finished = true;
                recordQuiz(quiz);
            }
        }
        closeLearningRecord();
    }
    ~BenchFolder() {
        setProgramFolderForTesting(Text());
        std::error_code ignored;
        std::filesystem::remove_all(native, ignored);
    }
    void use() const { setProgramFolderForTesting(utf8ToGbkText(native)); }
};

std::vector<BankRow> listedRows() {
    std::vector<BankRow> rows;
    listBanks(bankFolder(), [&rows](const Text& folder, const Text& name) {
        rows.push_back({folder, name});
    });
    return rows;
}

// From nothing open to a marked bank list: what start-up adds to listing,
// on a day whose review banks are still to be written.
void startUp(benchmark::State& state, int answers) {
    ClockPlatform clock;
    BenchFolder folder(answers, clock);
    clock.day = 20;
    const std::vector<BankRow> rows = listedRows();
    for (auto _ : state) {
        openLearningRecord();
        BankListMarking marking = markBankList(rows);
        if (marking.rows.size() != rows.size()) state.SkipWithError("record not kept");
        benchmark::DoNotOptimize(marking);
        state.PauseTiming();
        closeLearningRecord();
        removeFile(bankFolder() + "00复习\\今日复习.txt");
        removeFile(bankFolder() + "00复习\\错词本.txt");
        state.ResumeTiming();
    }
}

void BM_StartUpEmptyRecord(benchmark::State& state) {
    startUp(state, 0);
}
BENCHMARK(BM_StartUpEmptyRecord)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_StartUp100000Answers(benchmark::State& state) {
    startUp(state, kAnswers);
}
BENCHMARK(BM_StartUp100000Answers)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_RecordOneAnswer(benchmark::State& state) {
    ClockPlatform clock;
    BenchFolder folder(0, clock);
    openLearningRecord();
    int i = 0;
    for (auto _ : state) {
        AnswerFacts answer;
        answer.bank = "bank1000.txt";
        answer.entry = wordOf(i++ % kWords);
        answer.typed = answer.entry;
        answer.correct = i % 5 != 0;
        recordAnswer(answer);
    }
    if (keptLearningRecord() == nullptr) state.SkipWithError("record not kept");
    closeLearningRecord();
}
BENCHMARK(BM_RecordOneAnswer)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// Both banks from the large record on a day when most words are due.
void BM_WriteReviewBanks(benchmark::State& state) {
    ClockPlatform clock;
    BenchFolder folder(kAnswers, clock);
    clock.day = 20;
    openLearningRecord();
    for (auto _ : state) {
        refreshReviewBanks();
        state.PauseTiming();
        removeFile(bankFolder() + "00复习\\今日复习.txt");
        removeFile(bankFolder() + "00复习\\错词本.txt");
        state.ResumeTiming();
    }
    refreshReviewBanks();
    if (keptLearningRecord() == nullptr || !fileExists(bankFolder() + "00复习\\今日复习.txt"))
        state.SkipWithError("no review bank");
    closeLearningRecord();
}
BENCHMARK(BM_WriteReviewBanks)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace
