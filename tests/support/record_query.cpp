#include "record_query.h"

#include <sqlite3.h>

QueryRows queryRows(sqlite3* db, const char* sql) {
    QueryRows rows;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        return {{"error", sqlite3_errmsg(db)}};
    int code;
    while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
        std::vector<Text> row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const void* data = sqlite3_column_blob(statement, i);
            row.emplace_back(data ? static_cast<const char*>(data) : "",
                             static_cast<std::size_t>(sqlite3_column_bytes(statement, i)));
        }
        rows.push_back(row);
    }
    sqlite3_finalize(statement);
    if (code != SQLITE_DONE) rows.push_back({"error", sqlite3_errmsg(db)});
    return rows;
}

QueryRows queryFile(const std::string& file, const char* sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {{"error", "cannot open " + file}};
    }
    QueryRows rows = queryRows(db, sql);
    sqlite3_close(db);
    return rows;
}
