// The learning record's SQLite file: opening it for this program alone, its
// tables, and bringing an older file up to the current version.
#pragma once

#include <string>

#include "record/bank_path_migration.h"

struct sqlite3;

// The version this program writes (PRAGMA user_version).
int recordSchemaVersion();

// Result of opening the record file.
enum class OpenOutcome {
    Opened,
    Damaged,  // not a database, or not this program's: to be set aside
    TooNew,   // written by a newer version of the program: left alone
    Failed,   // any other error; see the SQLite result code
};

struct OpenedRecord {
    OpenOutcome outcome = OpenOutcome::Failed;
    int code = 0;           // SQLite's extended result code of the failing step
    sqlite3* db = nullptr;  // set only when Opened
};

// Opens or creates the file at a UTF-8 path, takes it for this connection
// alone, checks it for damage, and creates or migrates the tables;
// listBanks is asked only when an older record names banks by bare name.
OpenedRecord openRecordFile(const std::string& utf8Path, const BankLister& listBanks = nullptr);
