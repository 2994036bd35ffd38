// Reading the record and the banks for the statistics page.
#include "stats/stats_source.h"

#include <sqlite3.h>

#include <algorithm>

#include "record/learning_day.h"
#include "runtime/native_fs.h"
#include "runtime/platform.h"
#include "wordbank/bank_files.h"

namespace {

Text columnBytes(sqlite3_stmt* statement, int column) {
    const void* data = sqlite3_column_blob(statement, column);
    int size = sqlite3_column_bytes(statement, column);
    return data ? Text(static_cast<const char*>(data), static_cast<std::size_t>(size)) : Text();
}

// Runs a query and hands each row to take; SQLite's result code.
template <typename Take>
int eachRow(RecordStore& store, const char* sql, Take take) {
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(store.db, sql, -1, &statement, nullptr);
    if (code != SQLITE_OK) return code;
    while ((code = sqlite3_step(statement)) == SQLITE_ROW) take(statement);
    sqlite3_finalize(statement);
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

std::vector<native::DirEntry> sortedEntries(const Text& folder, bool folders) {
    std::vector<native::DirEntry> found;
    for (native::DirEntry& entry : native::list(folder + "*")) {
        if (entry.isSpecial || entry.isFolder != folders || entry.name == "." || entry.name == "..") continue;
        found.push_back(std::move(entry));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return found;
}

void addBankEntries(const Text& folder, WordListEntries& list) {
    for (const native::DirEntry& file : sortedEntries(folder, false)) {
        if (file.name.size() < 4 || file.name.compare(file.name.size() - 4, 4, ".txt") != 0) continue;
        for (Text& entry : splitEntries(readBank(file.name, folder)))
            list.entries.push_back(std::move(entry));
    }
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

int readAnswers(RecordStore& store, std::vector<AnswerRow>& answers, bool everything) {
    // A year of answers is a few megabytes: kept in SQLite's cache, a second
    // look reads no file.
    sqlite3_exec(store.db, "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
    const char* sql =
        everything
            ? "SELECT utc_ms, correct, entry, typed, bank, hint_shown, answer_ms FROM answers ORDER BY id"
            : "SELECT utc_ms, correct, CASE WHEN correct THEN x'' ELSE entry END,"
              " CASE WHEN correct THEN x'' ELSE typed END FROM answers ORDER BY id";
    return eachRow(store, sql, [&](sqlite3_stmt* s) {
        AnswerRow& row = answers.emplace_back();
        row.utcMs = sqlite3_column_int64(s, 0);
        row.correct = sqlite3_column_int(s, 1) != 0;
        row.entry = columnBytes(s, 2);
        row.typed = columnBytes(s, 3);
        if (!everything) return;
        row.bank = columnBytes(s, 4);
        row.hintShown = sqlite3_column_int(s, 5) != 0;
        row.answerMs = sqlite3_column_int64(s, 6);
    });
}

int readWordHistories(RecordStore& store, std::map<Text, WordHistory>& words) {
    return eachRow(store,
                   "SELECT entry, stability, difficulty, last_day, due_day, reviews, lapses, last_correct,"
                   " missed_answer, right_days, last_right_day, last_recalled FROM words",
                   [&](sqlite3_stmt* s) {
                       // Bounded like every history the program reads: the
                       // forecast counts days from what the file says.
                       words.emplace(columnBytes(s, 0), wordHistoryColumns(s, 1));
                   });
}

std::vector<WordListEntries> readBundledLists() {
    std::vector<WordListEntries> lists;
    const Text root = bankFolder();
    for (const native::DirEntry& folder : sortedEntries(root, true)) {
        const Text& name = folder.name;
        // 00复习 holds the review banks and 01示例 the samples: no word lists.
        if (name.size() <= 2 || !isDigit(name[0]) || !isDigit(name[1]) || name.compare(0, 2, "02") < 0)
            continue;
        WordListEntries list;
        list.name = name.substr(2);
        addBankEntries(root + name + "\\", list);
        lists.push_back(std::move(list));
    }
    return lists;
}

WordListEntries readOwnBanks() {
    WordListEntries own;
    own.name = "我的词库";
    addBankEntries(bankFolder(), own);
    return own;
}

std::vector<WordListEntries> readWordLists() {
    std::vector<WordListEntries> lists = readBundledLists();
    lists.push_back(readOwnBanks());
    return lists;
}

int currentUtcOffsetSeconds() {
    if (!hasPlatform()) return 0;
    const DateTime local = platform().localTime();
    const long long localSeconds = calendarDayNumber(local.year, local.month, local.day) * 86400LL +
                                   local.hour * 3600 + local.minute * 60 + local.second;
    const long long offset = localSeconds - platform().utcMilliseconds() / 1000;
    // Zones are whole quarter hours; the two clock readings may straddle a second.
    const long long quarter = 15 * 60;
    return static_cast<int>((offset >= 0 ? offset + quarter / 2 : offset - quarter / 2) / quarter * quarter);
}
