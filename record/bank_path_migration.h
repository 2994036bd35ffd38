// Older records named a bank by its bare file name, so two banks of one name
// in different folders shared their marks. Bringing such a record up to date
// names each bank by its path under the word-bank folder where that can be
// told from the banks there today.
#pragma once

#include <functional>
#include <vector>

#include "runtime/text.h"

struct sqlite3;

struct ListedBank {
    Text path;  // under the word-bank folder, such as "04四级\四级-001.txt"
    Text name;  // the bare file name, as older records kept it
};

// Asked for only when an older record needs it: listing every bank costs a
// walk through the word-bank folder.
using BankLister = std::function<std::vector<ListedBank>()>;

// Inside the migration's transaction: a bare name that names exactly one
// bank today takes that bank's path; one that several banks share stays as
// it was and is marked, so that its quizzes mark none of them.
int nameBanksByPath(sqlite3* db, const std::vector<ListedBank>& banks);
