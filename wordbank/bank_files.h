// Word-bank files in the word-bank folder.
#pragma once

#include <functional>

#include "runtime/text.h"

Text bankFolder();  // program folder + "\单词表\"
// Depth first, sub-folders before files; after each folder's files posts the
// search-progress notification (foldersSearched, 0) to the bank window.
// addRow gets the folder each file was found in (ending in "\") and its bare
// name. A folder reached a second time (through a link) is not listed again.
void listBanks(const Text& folder, const std::function<void(const Text& folder, const Text& name)>& addRow);
// The same banks in the same order, for the program's own use: nothing is
// counted or posted to the bank window.
void listBanksQuietly(const Text& folder,
                      const std::function<void(const Text& folder, const Text& name)>& addRow);
// listBanksQuietly, off the GUI thread (it touches no program-wide state),
// returning the number of folders listed.
int listBanksCountingFolders(const Text& folder,
                             const std::function<void(const Text& folder, const Text& name)>& addRow);
// What listBanks does after each folder: counts it and posts the progress.
void announceFolderSearched();
// The bank rowName in the folder it was listed from.
Text readBank(const Text& rowName, const Text& folder = bankFolder());
// False, writing nothing, for a name that is no plain file name.
bool writeBank(const Text& name, const Text& text);
TextArray splitEntries(const Text& text);
Text stripTxt(const Text& rowName);
