// The learning record's file and tables.
//
// The connection holds the file alone (exclusive locking mode, taken before
// the first read), so a second running copy of the program is refused at its
// first access, within the short busy timeout, instead of both writing. In
// exclusive mode WAL keeps its index in memory: only the -wal file sits
// beside the record while the program runs. synchronous=FULL syncs the WAL
// at every commit, so an answer is on the disk before the next word is
// asked: a killed program keeps it, and a power cut takes at most the one
// being saved. With NORMAL the WAL was synced only at a checkpoint, and a
// power cut could take every answer since the last start. The sync costs
// one wait for the disk per answer (vorbelzoz_bench: RecordOneAnswer).
#include "record/record_schema.h"

#include <sqlite3.h>

#include <iterator>

#include "record/record_trouble.h"
#include "runtime/text.h"

namespace {

constexpr int kBusyTimeoutMs = 100;

struct MigrationStep {
    const char* sql;
    // Work SQL alone cannot do, in the same transaction; may be null.
    int (*after)(sqlite3* db, const BankLister& listBanks);
};

int banksByPath(sqlite3* db, const BankLister& listBanks) {
    return nameBanksByPath(db, listBanks ? listBanks() : std::vector<ListedBank>());
}

// Step i brings a file at version i to version i + 1. Steps are only ever
// appended; a released step never changes.
const MigrationStep kMigrations[] = {
    {// 1: answers, quizzes and each entry's review state. Banks, entries and
     // typed texts are GBK bytes, kept as BLOBs so they compare exactly.
     "CREATE TABLE answers("
     " id INTEGER PRIMARY KEY,"
     " utc_ms INTEGER NOT NULL,"
     " bank BLOB NOT NULL,"
     " entry BLOB NOT NULL,"
     " typed BLOB NOT NULL,"
     " correct INTEGER NOT NULL,"
     " hint_shown INTEGER NOT NULL,"
     " answer_ms INTEGER NOT NULL);"
     "CREATE TABLE quizzes("
     " id INTEGER PRIMARY KEY,"
     " bank BLOB NOT NULL,"
     " start_utc_ms INTEGER NOT NULL,"
     " end_utc_ms INTEGER NOT NULL,"
     " end_local_day INTEGER NOT NULL,"
     " asked_count INTEGER NOT NULL,"
     " right_count INTEGER NOT NULL,"
     " wrong_count INTEGER NOT NULL,"
     " hint_count INTEGER NOT NULL,"
     " finished INTEGER NOT NULL);"
     "CREATE INDEX quizzes_by_bank ON quizzes(bank, id);"
     "CREATE TABLE words("
     " entry BLOB PRIMARY KEY,"
     " stability REAL NOT NULL,"
     " difficulty REAL NOT NULL,"
     " last_day INTEGER NOT NULL,"
     " due_day INTEGER NOT NULL,"
     " reviews INTEGER NOT NULL,"
     " lapses INTEGER NOT NULL,"
     " last_correct INTEGER NOT NULL,"
     " missed_answer INTEGER NOT NULL,"
     " right_days INTEGER NOT NULL,"
     " last_right_day INTEGER NOT NULL) WITHOUT ROWID;"
     "CREATE INDEX words_by_due ON words(due_day);"
     "CREATE INDEX error_book ON words(missed_answer) WHERE missed_answer > 0 AND right_days < 3;",
     nullptr},
    // 2: whether a word's last answer was recalled (right without the hint),
    // taken from the answers kept so far; banks named by their path.
    {"ALTER TABLE words ADD COLUMN last_recalled INTEGER NOT NULL DEFAULT 0;"
     "UPDATE words SET last_recalled = last.recalled FROM"
     " (SELECT entry, correct AND NOT hint_shown AS recalled FROM answers"
     "  WHERE id IN (SELECT max(id) FROM answers GROUP BY entry)) AS last"
     " WHERE last.entry = words.entry;"
     "ALTER TABLE quizzes ADD COLUMN bank_ambiguous INTEGER NOT NULL DEFAULT 0;",
     banksByPath},
};

OpenedRecord failed(sqlite3* db, int code) {
    sqlite3_close_v2(db);
    OpenedRecord result;
    result.code = code;
    result.outcome = isRecordDamage(code) ? OpenOutcome::Damaged : OpenOutcome::Failed;
    return result;
}

// One integer from a query, such as a pragma.
int queryInt(sqlite3* db, const char* sql, int& value) {
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (code != SQLITE_OK) return code;
    code = sqlite3_step(statement);
    if (code == SQLITE_ROW) {
        value = sqlite3_column_int(statement, 0);
        code = SQLITE_OK;
    } else if (code == SQLITE_DONE) {
        code = SQLITE_OK;
    }
    sqlite3_finalize(statement);
    return code;
}

int queryText(sqlite3* db, const char* sql, Text& value) {
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (code != SQLITE_OK) return code;
    code = sqlite3_step(statement);
    if (code == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(statement, 0);
        value = text ? reinterpret_cast<const char*>(text) : "";
        code = SQLITE_OK;
    } else if (code == SQLITE_DONE) {
        code = SQLITE_OK;
    }
    sqlite3_finalize(statement);
    return code;
}

// from is checked: 0 up to the current version.
int migrate(sqlite3* db, int from, const BankLister& listBanks) {
    for (int version = from; version < recordSchemaVersion(); ++version) {
        const MigrationStep& step = kMigrations[version];
        int code = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (code == SQLITE_OK) code = sqlite3_exec(db, step.sql, nullptr, nullptr, nullptr);
        if (code == SQLITE_OK && step.after) code = step.after(db, listBanks);
        if (code == SQLITE_OK) {
            std::string bump = "PRAGMA user_version = " + std::to_string(version + 1);
            code = sqlite3_exec(db, bump.c_str(), nullptr, nullptr, nullptr);
        }
        if (code == SQLITE_OK) code = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        if (code != SQLITE_OK) {
            code = sqlite3_extended_errcode(db);
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            return code;
        }
    }
    return SQLITE_OK;
}

}  // namespace

int recordSchemaVersion() {
    return static_cast<int>(std::size(kMigrations));
}

OpenedRecord openRecordFile(const std::string& utf8Path, const BankLister& listBanks) {
    sqlite3* db = nullptr;
    int code = sqlite3_open_v2(utf8Path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (code != SQLITE_OK) return failed(db, db ? sqlite3_extended_errcode(db) : code);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // The file is read as untrusted: no schema-defined functions or views run
    // with side effects, and nothing may write into SQLite's own tables.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);

    // SQLite opens a file it may not write read-only without a word; this
    // program would then fail at its first answer with a puzzling code.
    if (sqlite3_db_readonly(db, "main") == 1) return failed(db, SQLITE_READONLY);
    code = sqlite3_exec(db, "PRAGMA locking_mode = EXCLUSIVE", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) return failed(db, sqlite3_extended_errcode(db));
    // The first access: a file that is not a database, or is held by another
    // connection, fails here.
    int version = 0;
    code = queryInt(db, "PRAGMA user_version", version);
    if (code != SQLITE_OK) return failed(db, sqlite3_extended_errcode(db));
    // No version of this program writes a negative one: a damaged header.
    if (version < 0) return failed(db, SQLITE_CORRUPT);
    if (version > recordSchemaVersion()) {
        OpenedRecord result = failed(db, SQLITE_OK);
        result.outcome = OpenOutcome::TooNew;
        return result;
    }
    if (version == 0) {
        // A database of some other program's under the record's name.
        int tables = 0;
        code = queryInt(db, "SELECT count(*) FROM sqlite_schema", tables);
        if (code != SQLITE_OK) return failed(db, sqlite3_extended_errcode(db));
        if (tables > 0) return failed(db, SQLITE_NOTADB);
    }
    // Damage inside the file (a bad sector, a copy cut short) would
    // otherwise surface at some later statement, or never.
    Text check;
    code = queryText(db, "PRAGMA quick_check(1)", check);
    if (code != SQLITE_OK) return failed(db, sqlite3_extended_errcode(db));
    if (check != "ok") return failed(db, SQLITE_CORRUPT);
    // SQLite keeps the old journal when it cannot make the -wal file beside
    // the record (a read-only folder); that is no record this program keeps.
    Text mode;
    code = queryText(db, "PRAGMA journal_mode = WAL", mode);
    if (code != SQLITE_OK) return failed(db, sqlite3_extended_errcode(db));
    if (mode != "wal") return failed(db, SQLITE_READONLY);
    code = sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) return failed(db, sqlite3_extended_errcode(db));
    code = migrate(db, version, listBanks);
    if (code != SQLITE_OK) return failed(db, code);
    OpenedRecord result;
    result.outcome = OpenOutcome::Opened;
    result.db = db;
    return result;
}
