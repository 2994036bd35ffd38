// Reading a learning record file from a test: rows of a query, every column
// as its bytes (BLOBs exactly, numbers as text).
#pragma once

#include <string>
#include <vector>

#include "runtime/text.h"

struct sqlite3;

using QueryRows = std::vector<std::vector<Text>>;

// A failing statement gives a row {"error", message} instead of failing the
// test, so a sweep can say what it found.
QueryRows queryRows(sqlite3* db, const char* sql);
// The same on a file opened for this query alone.
QueryRows queryFile(const std::string& file, const char* sql);
