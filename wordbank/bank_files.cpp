// Word-bank files: listing the word-bank folder, reading and writing banks,
// and cutting a bank's text into its entries.
#include "wordbank/bank_files.h"

#include "app/quiz_state.h"
#include "runtime/files.h"
#include "runtime/services.h"
#include "ui/bank_window_layout.h"

Text bankFolder() {
    return programFolder() + "\\单词表\\";
}

void listBanks(const Text& folder, const std::function<void(const Text&)>& addRow) {
    // Sub-folders first, each listed completely as soon as it is met.
    FindStateHolder folders;
    for (Text name = findFiles(folder + "*", FindKind::FoldersOnly, folders); !name.empty();
         name = findFiles(Text(), FindKind::FoldersOnly, folders)) {
        if (name == "." || name == "..") continue;
        listBanks(folder + name + "\\", addRow);
    }
    FindStateHolder files;
    for (Text name = findFiles(folder + "*", FindKind::FilesOnly, files); !name.empty();
         name = findFiles(Text(), FindKind::FilesOnly, files))
        addRow(name);
    ++foldersSearched;
    // Posted: the window shows the progress once the listing is over.
    notifyLabel(bankWindow::ctl(bankWindow::标签1), foldersSearched, 0, false);
}

Text readBank(const Text& rowName) {
    // Read only, others may read and write meanwhile.
    int file = openFile(bankFolder() + rowName, 1, 1);
    if (file == 0) return Text();
    Text text = readText(file);
    closeFile(file);
    return text;
}

bool writeBank(const Text& name, const Text& text) {
    // Created or truncated, exclusively.
    int file = openFile(bankFolder() + name + ".txt", 4, 4);
    if (file == 0) return false;
    bool written = text.empty() || writeBytes(file, text);
    closeFile(file);
    return written;
}

TextArray splitEntries(const Text& text) {
    return splitText(text, "\r\n");
}

Text stripTxt(const Text& rowName) {
    return replaceText(rowName, ".txt", Text(), 1, 1);
}
