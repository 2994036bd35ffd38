#include "wordbank/banks_listed_ahead.h"

#include <exception>
#include <future>

#include "wordbank/bank_files.h"

namespace {

Text listedFolder;
// From std::async: its destructor waits for the thread, so a program that
// ends before the bank window has taken the rows ends cleanly.
std::future<BanksListedAhead> listing;

}  // namespace

void startListingBanksAhead(const Text& folder) {
    if (listing.valid()) return;
    listedFolder = folder;
    try {
        listing = std::async(std::launch::async, [folder] {
            BanksListedAhead listed;
            listed.folders = listBanksCountingFolders(folder, [&listed](const Text& found, const Text& name) {
                listed.rows.push_back(BankRow{found, name});
            });
            return listed;
        });
    } catch (const std::exception&) {
        // No thread to be had: the bank window lists the banks itself.
    }
}

bool takeBanksListedAhead(const Text& folder, BanksListedAhead& listed) {
    if (!listing.valid() || folder != listedFolder) return false;
    try {
        listed = listing.get();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
