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

// The bank's path under the word-bank folder ("04四级\四级-001.txt"), by
// which the record knows it.
Text bankPathOf(const BankRow& row);

// A bank is practised once a quiz ran on it, mastered when every entry has
// been answered and is mastered (see wordMastered). The row to show is the
// one after the bank of the last quiz that ran to its end, leaving out the
// review banks, which are no place in the learner's chapters; with none, or
// none after it, the first row.
BankListMarking markBankList(const std::vector<BankRow>& rows);
