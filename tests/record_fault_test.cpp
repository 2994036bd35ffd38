// The learning record against a failing disk. Two quizzes of ten answers on
// two banks (on two days, with misses and shared words), the review banks
// written after each, and a third start are run once for every write, sync
// and truncate SQLite makes, with that one failing, with the disk full from
// there on, and with the power cut at each sync. Whatever happens, the quiz
// runs to its report, the learner hears of it at most once a run and always
// when anything was lost, nothing is set aside as damaged, and the record
// that the next start finds is sound and holds what it promised to.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "record/learning_day.h"
#include "record/learning_record.h"
#include "record/record_schema.h"
#include "record/word_history.h"
#include "runtime/codepage.h"
#include "support/fake_platform.h"
#include "support/fault_vfs.h"
#include "support/program_folder.h"
#include "support/record_query.h"
#include "support/scenario.h"
#include "support/web_services.h"
#include "ui/bank_window_layout.h"
#include "ui/main_window_layout.h"

namespace {

const Text kRecord = "\\学习记录.db";
const Text kReviewBanks[] = {"\\单词表\\00复习\\今日复习.txt", "\\单词表\\00复习\\错词本.txt"};
const TextArray kBankA = {"apple", "pear",  "plum",  "grape", "lemon",
                          "melon", "peach", "mango", "kiwi",  "lime"};
// Three words are in both banks, so one entry's history spans two quizzes.
const TextArray kBankB = {"apple", "pear", "plum", "bread", "cheese",
                          "honey", "rice", "salt", "sugar", "tea"};

// One answer as the learner gave it, and whether the program still kept
// the record once it was judged (its commit succeeded).
struct Given {
    std::int64_t utcMs = 0;
    Text bank, entry, typed;
    bool correct = false;
    int day = 0;
    bool acknowledged = false;
};

struct RunSeen {
    Text bank;  // empty for the start without a quiz
    std::vector<Text> messages;
    bool faultFired = false;  // the fault struck during this run
};

struct Scenario {
    std::vector<Given> given;
    std::vector<RunSeen> runs;
};

bool isSummary(const Text& message) {
    return message.rfind("答题结束 ", 0) == 0;
}

// One run of the program: the learner takes `bank`, starts a quiz and
// answers all ten words, missing those `misses` picks.
void quizRun(Scenario& scenario, const DateTime& start, const Text& bank, int missEvery) {
    FakePlatform fake;
    fake.setStartTime(start);
    serveWords(fake);
    const ControlRef list = bankWindow::ctl(bankWindow::超级列表框1);
    fake.at(500, [&] {
        const std::vector<Text>& rows = fake.control(list).rows;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i] == bank) fake.doubleClickRow(list, static_cast<int>(i));
    });
    fake.clickAt(1000, mainWindow::ctl(mainWindow::按钮1));
    const bool firedBefore = diskActivity().fired;
    for (int i = 0; i < 10; ++i) {
        fake.at(3500 + 2000 * i, [&, i] {
            const ControlRef box = mainWindow::ctl(mainWindow::编辑框2);
            Given g;
            g.utcMs = fake.utcMilliseconds();
            g.bank = bank;
            g.entry = fake.text(mainWindow::ctl(mainWindow::拼写标签));
            g.correct = i % missEvery != 0;
            g.typed = g.correct ? g.entry : dropLastLetter(g.entry);
            g.day = todayLearningDay();
            fake.type(box, g.typed);
            fake.pressEnter(box);
            g.acknowledged = keptLearningRecord() != nullptr;
            scenario.given.push_back(g);
        });
    }
    EXPECT_EQ(runProgram(), 0);
    scenario.runs.push_back(RunSeen{bank, fake.messageTexts(), diskActivity().fired && !firedBefore});
}

// A start without a quiz: the record opened, the review banks written.
void startOnly(Scenario& scenario, const DateTime& start) {
    FakePlatform fake;
    fake.setStartTime(start);
    const bool firedBefore = diskActivity().fired;
    openLearningRecord();
    tellRecordTroubleOnce();
    closeLearningRecord();
    scenario.runs.push_back(RunSeen{Text(), fake.messageTexts(), diskActivity().fired && !firedBefore});
}

Scenario runScenario(const DiskFaultPlan& plan) {
    Scenario scenario;
    armDiskFault(plan);
    quizRun(scenario, DateTime{2024, 3, 1, 10, 0, 0}, "a.txt", 3);
    clearDiskFault();  // the learner made room before the next start
    if (!powerWasCut()) quizRun(scenario, DateTime{2024, 3, 2, 10, 0, 0}, "b.txt", 4);
    clearDiskFault();
    if (!powerWasCut()) startOnly(scenario, DateTime{2024, 3, 3, 10, 0, 0});
    return scenario;
}

// What the next start finds, each problem in a line of its own.
struct Findings {
    std::ostringstream problems;
    template <typename T>
    Findings& operator<<(const T& value) {
        problems << value;
        return *this;
    }
};

void checkRuns(const Scenario& s, const TestProgramFolder& folder, const DiskFaultPlan& plan, Findings& found,
               const std::set<std::int64_t>& kept, const std::set<Text>& quizBanks) {
    for (std::size_t r = 0; r < s.runs.size(); ++r) {
        const RunSeen& run = s.runs[r];
        int summaries = 0, told = 0;
        for (const Text& m : run.messages) (isSummary(m) ? summaries : told) += 1;
        if (told > 1) found << "run " << r + 1 << ": the learner was told " << told << " times\n";
        bool lost = !run.bank.empty() && !quizBanks.count(run.bank);
        for (const Given& g : s.given)
            if (g.bank == run.bank && !kept.count(g.utcMs)) lost = true;
        // What a power cut takes, the program cannot know of.
        if (lost && told == 0 && plan.fault != DiskFault::PowerCut)
            found << "run " << r + 1 << ": answers or the quiz lost and the learner not told\n";
        if (!run.faultFired && told > 0)
            found << "run " << r + 1 << ": told with no fault in this run: " << gbkToUtf8(run.messages[0])
                  << "\n";
        if (run.bank.empty()) continue;
        if (summaries != 1) found << "run " << r + 1 << ": the quiz did not reach its summary\n";
        const Bytes report = folder.read("\\日志\\报告" + run.bank);
        const Text head = "答题范围：" + run.bank + "\r\n共答题：10\r\n";
        if (report.rfind(head, 0) != 0 || report.size() < 64 ||
            report.substr(report.size() - 64) != Text(64, '-'))
            found << "run " << r + 1 << ": the report is not whole (" << report.size() << " bytes)\n";
    }
}

void checkReviewBanks(const TestProgramFolder& folder, Findings& found) {
    std::set<Text> words(kBankA.begin(), kBankA.end());
    words.insert(kBankB.begin(), kBankB.end());
    for (const Text& path : kReviewBanks) {
        if (!folder.exists(path)) continue;
        const Bytes text = folder.read(path);
        std::size_t start = 0, end;
        while ((end = text.find("\r\n", start)) != Text::npos) {
            if (!words.count(text.substr(start, end - start))) break;
            start = end + 2;
        }
        if (start != text.size() || text.empty()) found << gbkToUtf8(path) << " is half-written\n";
    }
}

// The record as the next start opens it: sound, holding what it must and
// nothing it was never given, and each word's schedule following from its
// answers.
void checkRecord(const Scenario& s, const TestProgramFolder& folder, Findings& found,
                 std::set<std::int64_t>& kept, std::set<Text>& quizBanks) {
    for (const auto& entry : std::filesystem::directory_iterator(folder.nativePath("")))
        if (entry.path().filename().string().find(".损坏-") != std::string::npos)
            found << "set aside as damaged: " << entry.path().filename().string() << "\n";
    OpenedRecord opened = openRecordFile(folder.nativePath(kRecord));
    if (opened.outcome != OpenOutcome::Opened) {
        found << "the record does not open (" << static_cast<int>(opened.outcome) << ", code " << opened.code
              << ")\n";
        return;
    }
    sqlite3* db = opened.db;
    auto check = queryRows(db, "PRAGMA integrity_check");
    if (check != std::vector<std::vector<Text>>{{"ok"}})
        found << "integrity_check: " << (check.empty() ? "" : gbkToUtf8(check[0].back())) << "\n";

    std::map<std::int64_t, const Given*> byTime;
    for (const Given& g : s.given) byTime[g.utcMs] = &g;
    std::map<Text, WordHistory> replayed;
    for (const auto& row :
         queryRows(db, "SELECT id, utc_ms, bank, entry, typed, correct FROM answers ORDER BY id")) {
        const std::int64_t utc = std::stoll(row[1]);
        auto g = byTime.find(utc);
        if (g == byTime.end() || g->second->bank != row[2] || g->second->entry != row[3] ||
            g->second->typed != row[4] || (g->second->correct ? "1" : "0") != row[5]) {
            found << "an answer that was never given: " << gbkToUtf8(row[3]) << "\n";
            continue;
        }
        if (!kept.insert(utc).second) found << "an answer twice: " << gbkToUtf8(row[3]) << "\n";
        WordHistory& h = replayed[row[3]];
        h = afterAnswer(h, g->second->correct, false, g->second->day, std::stoll(row[0]));
    }
    for (const Given& g : s.given) {
        // Through a power cut too: a commit ends with a sync, so the last
        // completed sync follows every answer the program took as saved.
        if (g.acknowledged && !kept.count(g.utcMs))
            found << "lost the acknowledged answer " << gbkToUtf8(g.entry) << " of " << gbkToUtf8(g.bank)
                  << "\n";
    }
    for (const auto& row : queryRows(db, "SELECT bank FROM quizzes")) quizBanks.insert(row[0]);

    RecordStore store;
    if (attachRecordStore(store, db) != SQLITE_OK) {
        found << "the record's statements do not prepare\n";
        return;
    }
    std::size_t words = 0;
    for (const auto& row : queryRows(db, "SELECT entry FROM words")) {
        ++words;
        WordHistory stored;
        bool present = false;
        loadWordHistory(store, row[0], stored, present);
        const WordHistory& want = replayed[row[0]];
        const ReviewState &a = stored.review, &b = want.review;
        if (a.stability != b.stability || a.difficulty != b.difficulty || a.lastDay != b.lastDay ||
            a.dueDay != b.dueDay || a.reviews != b.reviews || a.lapses != b.lapses ||
            stored.missedAnswer != want.missedAnswer || stored.rightDays != want.rightDays)
            found << "the schedule of " << gbkToUtf8(row[0]) << " does not follow from its answers\n";
    }
    if (words != replayed.size())
        found << "words: " << words << " rows for " << replayed.size() << " answered\n";
    closeRecordStore(store);
}

// Everything wrong with what a scenario left, or nothing.
std::string findings(const Scenario& s, const TestProgramFolder& folder, const DiskFaultPlan& plan) {
    Findings found;
    std::set<std::int64_t> kept;
    std::set<Text> quizBanks;
    checkRecord(s, folder, found, kept, quizBanks);
    checkRuns(s, folder, plan, found, kept, quizBanks);
    checkReviewBanks(folder, found);
    return found.problems.str();
}

const char* faultName(DiskFault fault) {
    switch (fault) {
        case DiskFault::IoError:
            return "I/O error";
        case DiskFault::DiskFull:
            return "disk full";
        case DiskFault::PowerCut:
            return "power cut";
        default:
            return "no fault";
    }
}

class RecordFaultSweep : public ::testing::TestWithParam<DiskFault> {};

}  // namespace

TEST_P(RecordFaultSweep, EveryWriteSyncAndTruncateInTurn) {
    // Some hundred program runs, each waiting on the disk at every sync of
    // the review banks and the record: in memory they take seconds. The
    // layer itself decides what a power cut leaves.
    if (std::filesystem::is_directory("/dev/shm") && access("/dev/shm", W_OK) == 0)
        setenv("TMPDIR", "/dev/shm", 1);
    installFaultVfs();
    // A run without faults: the operations to sweep, and the checks hold.
    DiskActivity clean;
    {
        TestProgramFolder folder;
        folder.writeBank("a.txt", kBankA);
        folder.writeBank("b.txt", kBankB);
        Scenario s = runScenario({DiskFault::None, 0});
        clean = diskActivity();
        ASSERT_EQ(s.given.size(), 20u);
        ASSERT_EQ(findings(s, folder, {}), "");
    }
    const int last = GetParam() == DiskFault::PowerCut ? clean.syncs : clean.operations;
    ASSERT_GT(last, 0);
    int failing = 0;
    for (int n = 1; n <= last; ++n) {
        TestProgramFolder folder;
        folder.writeBank("a.txt", kBankA);
        folder.writeBank("b.txt", kBankB);
        const DiskFaultPlan plan{GetParam(), n};
        Scenario s = runScenario(plan);
        const DiskActivity seen = diskActivity();
        restoreAfterPowerCut();
        if (GetParam() == DiskFault::PowerCut) startOnly(s, DateTime{2024, 3, 3, 10, 0, 0});
        const std::string problems = findings(s, folder, plan);
        if (!problems.empty()) {
            ++failing;
            ADD_FAILURE() << faultName(GetParam()) << " at N=" << n << " of " << last << ": "
                          << seen.firedOperation << " of " << seen.firedFile << " at " << seen.firedOffset
                          << "\n"
                          << problems;
        }
    }
    std::printf("%s: %d operations swept, %d broke something\n", faultName(GetParam()), last, failing);
}

INSTANTIATE_TEST_SUITE_P(Faults, RecordFaultSweep,
                         ::testing::Values(DiskFault::IoError, DiskFault::DiskFull, DiskFault::PowerCut),
                         [](const ::testing::TestParamInfo<DiskFault>& info) {
                             return std::string(info.param == DiskFault::IoError    ? "IoError"
                                                : info.param == DiskFault::DiskFull ? "DiskFull"
                                                                                    : "PowerCut");
                         });
