// How far the learner has come with each bank of the bank list, and the
// bank to go on with, decided from the learning record.
#pragma once

#include <vector>

#include "runtime/platform.h"
#include "runtime/text.h"

struct BankRow {
    Text folder;  // where the bank was found, ending in "\"
    Text name;    // the bank row name
};

struct RowMarking {
    RowMark mark = RowMark::None;
    Text tooltip;
};

struct BankListMarking {
    std::vector<RowMarking> rows;  // by row; empty when no record is kept
    int rowToShow = -1;            // -1: leave the selection alone
};

// A bank is practised once a quiz ran on it, mastered when every entry has
// been answered, each right at its last answer, and none is due. The row to
// show is the one after the bank of the last quiz that ran to its end; with
// none, or none after it, the first row.
BankListMarking markBankList(const std::vector<BankRow>& rows);
