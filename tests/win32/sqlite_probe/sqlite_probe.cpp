// Opens "学习记录.db" in the folder given, as the learning record does (its
// GBK path converted with native::utf8Path), in WAL mode; writes a row and
// reads it back, and checks that the build's options took effect. Prints
// one JSON line; exit code 0 when every step succeeded.
//
//   vorbelzoz_sqlite_probe.exe FOLDER
#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/native_fs.h"

namespace {

int fail(sqlite3* db, const char* step) {
    std::printf("{\"failed\": \"%s\", \"error\": \"%s\"}\n", step, db ? sqlite3_errmsg(db) : "");
    sqlite3_close(db);
    return 1;
}

// The first column of the first row; false when the statement fails or
// gives no row.
bool queryText(sqlite3* db, const char* sql, std::string& out) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) return false;
    bool ok = sqlite3_step(statement) == SQLITE_ROW;
    if (ok) {
        const unsigned char* text = sqlite3_column_text(statement, 0);
        out = text ? reinterpret_cast<const char*>(text) : "";
    }
    sqlite3_finalize(statement);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    if (std::strcmp(sqlite3_libversion(), SQLITE_VERSION) != 0) return fail(nullptr, "version");

    Text path = Text(argv[1]) + "\\学习记录.db";
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(native::utf8Path(path).c_str(), &db, flags, nullptr) != SQLITE_OK)
        return fail(db, "open");

    std::string journal;
    if (!queryText(db, "PRAGMA journal_mode=WAL", journal) || journal != "wal") return fail(db, "wal");
    const char* write =
        "CREATE TABLE entries(entry BLOB PRIMARY KEY, answers INTEGER);"
        "INSERT INTO entries VALUES (CAST('苹果 apple' AS BLOB), 3);";
    if (sqlite3_exec(db, write, nullptr, nullptr, nullptr) != SQLITE_OK) return fail(db, "write");
    std::string answers;
    if (!queryText(db, "SELECT answers FROM entries WHERE entry = CAST('苹果 apple' AS BLOB)", answers) ||
        answers != "3")
        return fail(db, "read");

    // Built without double-quoted string literals and without extension
    // loading: both must be errors.
    std::string ignored;
    bool dqsOff = !queryText(db, "SELECT \"no such column\"", ignored);
    bool loadOff = !queryText(db, "SELECT load_extension('x')", ignored);
    if (!dqsOff || !loadOff) return fail(db, "options");
    if (sqlite3_threadsafe() != 1) return fail(db, "threadsafe");

    if (sqlite3_close(db) != SQLITE_OK) return fail(db, "close");
    std::printf("{\"version\": \"%s\", \"journal\": \"%s\", \"answers\": %s}\n", sqlite3_libversion(),
                journal.c_str(), answers.c_str());
    return 0;
}
