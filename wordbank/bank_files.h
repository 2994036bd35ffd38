// Word-bank files in the word-bank folder.
#pragma once

#include <functional>

#include "runtime/text.h"

Text bankFolder();  // program folder + "\单词表\"
// Depth first, sub-folders before files; after each folder's files posts the
// search-progress notification (foldersSearched, 0) to the bank window.
void listBanks(const Text& folder, const std::function<void(const Text&)>& addRow);
Text readBank(const Text& rowName);
bool writeBank(const Text& name, const Text& text);
TextArray splitEntries(const Text& text);
Text stripTxt(const Text& rowName);
