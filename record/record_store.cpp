// The learning record's statements.
#include "record/record_store.h"

#include <sqlite3.h>

#include <initializer_list>

namespace {

void bindText(sqlite3_stmt* statement, int index, const Text& bytes) {
    // A zero-length BLOB needs a non-null pointer, or SQLite binds NULL.
    sqlite3_bind_blob(statement, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

Text columnText(sqlite3_stmt* statement, int column) {
    const void* data = sqlite3_column_blob(statement, column);
    int size = sqlite3_column_bytes(statement, column);
    return data ? Text(static_cast<const char*>(data), static_cast<std::size_t>(size)) : Text();
}

// Runs a statement that returns no rows and resets it for the next use.
int runOnce(sqlite3_stmt* statement) {
    int code = sqlite3_step(statement);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

int execute(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

// Rows of one BLOB column into entries.
int collectEntries(sqlite3* db, const char* sql, std::initializer_list<int> values, TextArray& entries) {
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (code != SQLITE_OK) return code;
    int index = 0;
    for (int value : values) sqlite3_bind_int(statement, ++index, value);
    while ((code = sqlite3_step(statement)) == SQLITE_ROW) entries.push_back(columnText(statement, 0));
    sqlite3_finalize(statement);
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

int writeWord(RecordStore& store, const Text& entry, const WordHistory& history) {
    sqlite3_stmt* s = store.upsertWord;
    bindText(s, 1, entry);
    sqlite3_bind_double(s, 2, history.review.stability);
    sqlite3_bind_double(s, 3, history.review.difficulty);
    sqlite3_bind_int(s, 4, history.review.lastDay);
    sqlite3_bind_int(s, 5, history.review.dueDay);
    sqlite3_bind_int(s, 6, history.review.reviews);
    sqlite3_bind_int(s, 7, history.review.lapses);
    sqlite3_bind_int(s, 8, history.lastCorrect ? 1 : 0);
    sqlite3_bind_int64(s, 9, history.missedAnswer);
    sqlite3_bind_int(s, 10, history.rightDays);
    sqlite3_bind_int(s, 11, history.lastRightDay);
    sqlite3_bind_int(s, 12, history.lastRecalled ? 1 : 0);
    return runOnce(s);
}

int insertAnswer(RecordStore& store, const AnswerFacts& answer, long long& id) {
    sqlite3_stmt* s = store.insertAnswer;
    sqlite3_bind_int64(s, 1, answer.utcMs);
    bindText(s, 2, answer.bank);
    bindText(s, 3, answer.entry);
    bindText(s, 4, answer.typed);
    sqlite3_bind_int(s, 5, answer.correct ? 1 : 0);
    sqlite3_bind_int(s, 6, answer.hintShown ? 1 : 0);
    sqlite3_bind_int64(s, 7, answer.answerMs);
    int code = runOnce(s);
    id = sqlite3_last_insert_rowid(store.db);
    return code;
}

}  // namespace

int attachRecordStore(RecordStore& store, sqlite3* db) {
    store = RecordStore{};
    store.db = db;
    struct {
        sqlite3_stmt** statement;
        const char* sql;
    } const statements[] = {
        {&store.insertAnswer,
         "INSERT INTO answers(utc_ms, bank, entry, typed, correct, hint_shown, answer_ms)"
         " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)"},
        {&store.selectWord,
         "SELECT stability, difficulty, last_day, due_day, reviews, lapses, last_correct, missed_answer,"
         " right_days, last_right_day, last_recalled FROM words WHERE entry = ?1"},
        {&store.upsertWord,
         "INSERT OR REPLACE INTO words(entry, stability, difficulty, last_day, due_day, reviews, lapses,"
         " last_correct, missed_answer, right_days, last_right_day, last_recalled)"
         " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)"},
        {&store.insertQuiz,
         "INSERT INTO quizzes(bank, start_utc_ms, end_utc_ms, end_local_day, asked_count, right_count,"
         " wrong_count, hint_count, finished) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"},
    };
    for (const auto& s : statements) {
        int code = sqlite3_prepare_v3(db, s.sql, -1, SQLITE_PREPARE_PERSISTENT, s.statement, nullptr);
        if (code != SQLITE_OK) {
            code = sqlite3_extended_errcode(db);
            closeRecordStore(store);
            return code;
        }
    }
    return SQLITE_OK;
}

void closeRecordStore(RecordStore& store) {
    for (sqlite3_stmt* statement : {store.insertAnswer, store.selectWord, store.upsertWord, store.insertQuiz})
        sqlite3_finalize(statement);
    sqlite3_close_v2(store.db);
    store = RecordStore{};
}

bool recordStoreOpen(const RecordStore& store) {
    return store.db != nullptr;
}

WordHistory wordHistoryColumns(sqlite3_stmt* s, int first) {
    WordHistory history;
    history.review.isNew = false;
    history.review.stability = sqlite3_column_double(s, first);
    history.review.difficulty = sqlite3_column_double(s, first + 1);
    history.review.lastDay = sqlite3_column_int(s, first + 2);
    history.review.dueDay = sqlite3_column_int(s, first + 3);
    history.review.reviews = sqlite3_column_int(s, first + 4);
    history.review.lapses = sqlite3_column_int(s, first + 5);
    history.lastCorrect = sqlite3_column_int(s, first + 6) != 0;
    history.missedAnswer = sqlite3_column_int64(s, first + 7);
    history.rightDays = sqlite3_column_int(s, first + 8);
    history.lastRightDay = sqlite3_column_int(s, first + 9);
    history.lastRecalled = sqlite3_column_int(s, first + 10) != 0;
    return boundedHistory(history);
}

int loadWordHistory(RecordStore& store, const Text& entry, WordHistory& history, bool& found) {
    sqlite3_stmt* s = store.selectWord;
    bindText(s, 1, entry);
    int code = sqlite3_step(s);
    found = code == SQLITE_ROW;
    history = WordHistory{};
    if (found) history = wordHistoryColumns(s, 0);
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    return code == SQLITE_ROW || code == SQLITE_DONE ? SQLITE_OK : code;
}

int storeAnswer(RecordStore& store, const AnswerFacts& answer, int learningDay) {
    int code = execute(store.db, "BEGIN IMMEDIATE");
    if (code != SQLITE_OK) return code;
    long long id = 0;
    WordHistory history;
    bool found = false;
    code = insertAnswer(store, answer, id);
    if (code == SQLITE_OK) code = loadWordHistory(store, answer.entry, history, found);
    if (code == SQLITE_OK)
        code = writeWord(store, answer.entry,
                         afterAnswer(history, answer.correct, answer.hintShown, learningDay, id));
    if (code == SQLITE_OK) code = execute(store.db, "COMMIT");
    if (code != SQLITE_OK) {
        code = sqlite3_extended_errcode(store.db);
        if (!sqlite3_get_autocommit(store.db)) execute(store.db, "ROLLBACK");
    }
    return code;
}

int storeQuiz(RecordStore& store, const QuizFacts& quiz) {
    sqlite3_stmt* s = store.insertQuiz;
    bindText(s, 1, quiz.bank);
    sqlite3_bind_int64(s, 2, quiz.startUtcMs);
    sqlite3_bind_int64(s, 3, quiz.endUtcMs);
    sqlite3_bind_int(s, 4, quiz.endCalendarDay);
    sqlite3_bind_int(s, 5, quiz.asked);
    sqlite3_bind_int(s, 6, quiz.right);
    sqlite3_bind_int(s, 7, quiz.wrong);
    sqlite3_bind_int(s, 8, quiz.hints);
    sqlite3_bind_int(s, 9, quiz.finished ? 1 : 0);
    int code = runOnce(s);
    return code == SQLITE_OK ? code : sqlite3_extended_errcode(store.db);
}

int dueEntries(RecordStore& store, int day, int limit, TextArray& entries) {
    return collectEntries(store.db,
                          "SELECT entry FROM words WHERE due_day <= ?1 AND entry <> x''"
                          " ORDER BY due_day, last_day, entry LIMIT ?2",
                          {day, limit}, entries);
}

int errorBookEntries(RecordStore& store, TextArray& entries) {
    // Written out, as in the error_book index, so that the index serves.
    static_assert(kErrorBookLeavingDays == 3);
    return collectEntries(
        store.db,
        "SELECT entry FROM words WHERE missed_answer > 0 AND right_days < 3 AND entry <> x''"
        " ORDER BY missed_answer DESC",
        {}, entries);
}

int bankPractice(RecordStore& store, const Text& reviewPrefix, std::map<Text, BankPractice>& banks,
                 Text& lastFinishedBank) {
    sqlite3_stmt* s = nullptr;
    int code = sqlite3_prepare_v2(store.db,
                                  "SELECT bank, end_local_day, asked_count, right_count FROM quizzes"
                                  " WHERE id IN (SELECT max(id) FROM quizzes GROUP BY bank)"
                                  " AND bank_ambiguous = 0",
                                  -1, &s, nullptr);
    if (code != SQLITE_OK) return code;
    while ((code = sqlite3_step(s)) == SQLITE_ROW)
        banks[columnText(s, 0)] =
            BankPractice{sqlite3_column_int(s, 1), sqlite3_column_int(s, 2), sqlite3_column_int(s, 3)};
    sqlite3_finalize(s);
    if (code != SQLITE_DONE) return code;

    lastFinishedBank.clear();
    code = sqlite3_prepare_v2(store.db,
                              "SELECT bank FROM quizzes WHERE finished = 1 AND bank_ambiguous = 0"
                              " AND substr(bank, 1, ?1) <> ?2 ORDER BY id DESC LIMIT 1",
                              -1, &s, nullptr);
    if (code != SQLITE_OK) return code;
    sqlite3_bind_int(s, 1, static_cast<int>(reviewPrefix.size()));
    bindText(s, 2, reviewPrefix);
    code = sqlite3_step(s);
    if (code == SQLITE_ROW) lastFinishedBank = columnText(s, 0);
    sqlite3_finalize(s);
    return code == SQLITE_ROW || code == SQLITE_DONE ? SQLITE_OK : code;
}

int settleFutureReviews(RecordStore& store, int today) {
    sqlite3_stmt* s = nullptr;
    int code = sqlite3_prepare_v2(store.db,
                                  "UPDATE words SET due_day = ?1 + max(1, min(due_day - last_day, ?2)),"
                                  " last_day = ?1 WHERE last_day > ?1",
                                  -1, &s, nullptr);
    if (code != SQLITE_OK) return code;
    sqlite3_bind_int(s, 1, today);
    sqlite3_bind_int(s, 2, kLongestIntervalDays);
    code = sqlite3_step(s);
    sqlite3_finalize(s);
    return code == SQLITE_DONE ? SQLITE_OK : sqlite3_extended_errcode(store.db);
}
