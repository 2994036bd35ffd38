// The learning record file: whatever 学习记录.db holds, the program opens it,
// marks the 852 rows of the bundled bank list, writes the review banks and
// records one more answer. The file is either used or moved aside as
// damaged (or, written by a newer program, left alone with a word to the
// learner), and every value the scheduler reads comes back within bounds.
#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "fake_platform.h"
#include "program_folder.h"
#include "record/bank_marks.h"
#include "record/learning_day.h"
#include "record/learning_record.h"

namespace {

const Text kRecord = "\\学习记录.db";
constexpr std::size_t kMaxRecordBytes = 1 << 20;
constexpr int kBundledBankRows = 852;

TestProgramFolder& folder() {
    // In TMPDIR, which scripts/fuzz keeps in memory where it can: every
    // input syncs the record and the review banks to the disk.
    static TestProgramFolder made;
    static bool banks = [] {
        made.writeBank("a.txt", {"apple", "pear", "plum"});
        made.writeBank("b.txt", {"apple", "bread", "tea"});
        return true;
    }();
    (void)banks;
    return made;
}

std::vector<BankRow> bankRows() {
    std::vector<BankRow> rows;
    const Text bankFolder = folder().folder() + "\\单词表\\";
    rows.push_back({bankFolder, "a.txt"});
    rows.push_back({bankFolder, "b.txt"});
    for (int i = static_cast<int>(rows.size()); i < kBundledBankRows; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "c%03d.txt", i);
        rows.push_back({bankFolder, name});
    }
    return rows;
}

// Files a damaged record was moved to, and what the last input left.
std::vector<std::filesystem::path> asideFiles() {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder().nativePath("")))
        if (entry.path().filename().string().find(".db.") != std::string::npos) found.push_back(entry.path());
    return found;
}

void cleanUp() {
    for (const auto& path : asideFiles()) std::filesystem::remove(path);
    folder().remove(kRecord + "-wal");
    folder().remove("\\单词表\\00复习");
}

bool bounded(const WordHistory& h, int today) {
    const ReviewState& r = h.review;
    return std::isfinite(r.stability) && r.stability > 0 && r.stability <= 36500 && r.difficulty >= 1 &&
           r.difficulty <= 10 && r.reviews >= 0 && r.lapses >= 0 && h.rightDays >= 0 && h.rightDays <= 3 &&
           std::abs(static_cast<long long>(r.lastDay) - today) <= 1000000 &&
           std::abs(static_cast<long long>(r.dueDay) - today) <= 1000000;
}

// Every entry the record holds (at most a few hundred), as the scheduler
// reads it.
void checkHistories(RecordStore& store, int today) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(store.db, "SELECT entry FROM words LIMIT 300", -1, &s, nullptr) != SQLITE_OK)
        return;
    std::vector<Text> entries;
    while (sqlite3_step(s) == SQLITE_ROW) {
        const void* data = sqlite3_column_blob(s, 0);
        entries.emplace_back(data ? static_cast<const char*>(data) : "",
                             static_cast<std::size_t>(sqlite3_column_bytes(s, 0)));
    }
    sqlite3_finalize(s);
    for (const Text& entry : entries) {
        WordHistory history;
        bool found = false;
        if (loadWordHistory(store, entry, history, found) == SQLITE_OK && found && !bounded(history, today))
            __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxRecordBytes) return 0;
    static const std::vector<BankRow> rows = bankRows();
    cleanUp();
    const Bytes content(reinterpret_cast<const char*>(data), size);
    folder().write(kRecord, content);

    FakePlatform fake;
    fake.setStartTime(DateTime{2024, 3, 10, 10, 0, 0});
    openLearningRecord();
    const bool used = keptLearningRecord() != nullptr;
    markBankList(rows);
    AnswerFacts answer;
    answer.bank = "a.txt";
    answer.entry = "apple";
    answer.typed = "appl";
    recordAnswer(answer);
    if (RecordStore* store = keptLearningRecord()) checkHistories(*store, todayLearningDay());
    tellRecordTroubleOnce();
    closeLearningRecord();

    // Used, or moved aside, or left alone and the learner told.
    bool setAside = false;
    for (const auto& path : asideFiles()) {
        const std::string name = path.filename().string();
        if (name.find("-wal") != std::string::npos || name.find("-shm") != std::string::npos) continue;
        setAside = true;
    }
    if (!used && !setAside && fake.messageBoxes.empty()) __builtin_trap();
    return 0;
}
