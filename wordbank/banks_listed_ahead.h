// The word-bank folder listed on a thread of its own while the windows are
// made. Finding hundreds of bank files one call at a time is a good part of
// the bank window's start, and nothing else needs the GUI thread's turn for
// it: the bank window takes the rows when its creation handler lists them.
#pragma once

#include <vector>

#include "record/bank_marks.h"
#include "runtime/text.h"

struct BanksListedAhead {
    std::vector<BankRow> rows;  // as listBanks would add them, in order
    int folders = 0;            // the folders listed, for the search progress
};

// Once the review banks are written: the listing must see them.
void startListingBanksAhead(const Text& folder);
// The listing started for folder, waiting for it to end. Taken once: false
// when none was started for folder, it was taken already, or it failed.
bool takeBanksListedAhead(const Text& folder, BanksListedAhead& listed);
