// Bare bank names of an older record turned into paths.
#include "record/bank_path_migration.h"

#include <sqlite3.h>

#include <map>

namespace {

int run(sqlite3* db, const char* sql, const Text& first, const Text& second = Text()) {
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (code != SQLITE_OK) return code;
    sqlite3_bind_blob(statement, 1, first.data(), static_cast<int>(first.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(statement, 2, second.data(), static_cast<int>(second.size()), SQLITE_TRANSIENT);
    code = sqlite3_step(statement);
    sqlite3_finalize(statement);
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

int namesInRecord(sqlite3* db, TextArray& names) {
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(db, "SELECT bank FROM answers UNION SELECT bank FROM quizzes", -1,
                                  &statement, nullptr);
    if (code != SQLITE_OK) return code;
    while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
        const void* data = sqlite3_column_blob(statement, 0);
        const int size = sqlite3_column_bytes(statement, 0);
        names.emplace_back(data ? static_cast<const char*>(data) : "", static_cast<std::size_t>(size));
    }
    sqlite3_finalize(statement);
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

}  // namespace

int nameBanksByPath(sqlite3* db, const std::vector<ListedBank>& banks) {
    std::map<Text, std::vector<const ListedBank*>> byName;
    for (const ListedBank& bank : banks) byName[bank.name].push_back(&bank);
    TextArray names;
    int code = namesInRecord(db, names);
    for (const Text& name : names) {
        if (code != SQLITE_OK) break;
        auto found = byName.find(name);
        if (found == byName.end()) continue;  // no such bank today: nothing to mark anyway
        if (found->second.size() > 1) {
            code = run(db, "UPDATE quizzes SET bank_ambiguous = 1 WHERE bank = ?1", name);
            continue;
        }
        const Text& path = found->second.front()->path;
        if (path == name) continue;
        code = run(db, "UPDATE answers SET bank = ?2 WHERE bank = ?1", name, path);
        if (code == SQLITE_OK) code = run(db, "UPDATE quizzes SET bank = ?2 WHERE bank = ?1", name, path);
    }
    return code;
}
