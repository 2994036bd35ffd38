// Word-bank files: listing the word-bank folder, reading and writing banks,
// and cutting a bank's text into its entries.
#include "wordbank/bank_files.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string_view>

#include "app/quiz_state.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "runtime/services.h"
#include "ui/bank_window_layout.h"

namespace {

const char* const kUtf8Mark = "\xEF\xBB\xBF";

// A save of a bank leaves its temporary copy behind when it is cut off; the
// copy holds no bank of its own, so it is neither listed nor kept. Only the
// exact names the save would have used count.
bool isLeftoverSave(const Text& name) {
    const std::size_t tilde = name.rfind('~');
    if (tilde == Text::npos || tilde < 5 || name.compare(tilde - 4, 4, ".txt") != 0) return false;
    const Text bank = name.substr(0, tilde);
    const std::size_t digits = name.size() - tilde;
    if (digits < 6 || digits > 8) return false;  // "~N.tmp" for 1 to 3 digits
    const char first = name[tilde + 1];
    if (first < '1' || first > '9') return false;
    const int attempt = std::atoi(name.c_str() + tilde + 1);
    return attempt <= kTemporaryCopyAttempts && temporaryCopyName(bank, attempt) == name;
}

// The names of one kind in a folder, in name order. The file system's own
// order differs between systems (NTFS sorts, FAT, exFAT and Linux do not), and
// chapters such as "四级-001.txt" must come in sequence.
TextArray sortedNames(const Text& folder, FindKind kind) {
    TextArray names;
    FindStateHolder state;
    for (Text name = findFiles(folder + "*", kind, state); !name.empty();
         name = findFiles(Text(), kind, state))
        if (name != "." && name != "..") names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

// folderDone, when given, runs after each folder's files.
void listFolder(const Text& folder, const std::function<void(const Text&, const Text&)>& addRow,
                std::set<Text>& visited, const std::function<void()>& folderDone) {
    // Links can lead back into a folder already listed, even into one that
    // is still being listed; such a folder would be listed without end.
    Text identity = folderIdentity(folder);
    if (!identity.empty() && !visited.insert(identity).second) return;

    // Sub-folders first, each listed completely as soon as it is met.
    for (const Text& name : sortedNames(folder, FindKind::FoldersOnly))
        listFolder(folder + name + "\\", addRow, visited, folderDone);
    for (const Text& name : sortedNames(folder, FindKind::FilesOnly))
        if (!isLeftoverSave(name)) addRow(folder, name);
    if (folderDone) folderDone();
}

// Well-formed UTF-8 as Unicode defines it: no overlong forms, no
// surrogates, nothing above U+10FFFF. Stops at the first fault, which in GBK
// text comes early.
bool isUtf8(const Text& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i++]);
        if (c < 0x80) continue;
        int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
        unsigned char low = 0x80, high = 0xBF;  // the second byte's range
        if (c < 0xC2 || c > 0xF4) return false;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
        for (int k = 0; k < more; ++k, ++i) {
            if (i >= text.size()) return false;
            unsigned char next = static_cast<unsigned char>(text[i]);
            if (next < (k == 0 ? low : 0x80) || next > (k == 0 ? high : 0xBF)) return false;
        }
    }
    return true;
}

// Every lead byte followed by a trail byte, as GBK pairs them.
bool isGbk(const Text& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i++]);
        if (c < 0x81 || c == 0xFF) continue;
        if (i >= text.size()) return false;
        unsigned char trail = static_cast<unsigned char>(text[i++]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
    }
    return true;
}

// Banks saved by other editors come as UTF-8, often with a byte-order mark.
// The mark is dropped; the text is taken as UTF-8 when the mark said so, or
// when it is well-formed UTF-8 but no well-formed GBK, and then turned into
// GBK like every program text.
Text bankText(Text text) {
    bool marked = text.compare(0, 3, kUtf8Mark) == 0;
    if (marked) text.erase(0, 3);
    if (isUtf8(text) && (marked || !isGbk(text))) return utf8ToGbkText(text);
    return text;
}

// The name becomes a file name in the bank folder: no folder part, nothing
// that leads out of the folder, nothing a Windows file name cannot hold. It
// is checked as the file layer will decode it.
bool isPlainFileName(const Text& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char16_t unit : gbkToUtf16(name)) {
        if (unit < 0x20 || unit == 0x7F ||
            std::u16string_view(u"\\/:*?\"<>|").find(unit) != std::u16string_view::npos)
            return false;
    }
    return true;
}

}  // namespace

Text bankFolder() {
    return programFolder() + "\\单词表\\";
}

void listBanks(const Text& folder, const std::function<void(const Text&, const Text&)>& addRow) {
    std::set<Text> visited;
    listFolder(folder, addRow, visited, announceFolderSearched);
}

void listBanksQuietly(const Text& folder, const std::function<void(const Text&, const Text&)>& addRow) {
    std::set<Text> visited;
    listFolder(folder, addRow, visited, {});
}

int listBanksCountingFolders(const Text& folder,
                             const std::function<void(const Text&, const Text&)>& addRow) {
    std::set<Text> visited;
    int folders = 0;
    listFolder(folder, addRow, visited, [&folders] { ++folders; });
    return folders;
}

void announceFolderSearched() {
    ++foldersSearched;
    // Posted: the window shows the progress once the listing is over.
    notifyLabel(bankWindow::ctl(bankWindow::标签1), foldersSearched, 0, false);
}

Text readBank(const Text& rowName, const Text& folder) {
    // Read only, others may read and write meanwhile.
    int file = openFile(folder + rowName, 1, 1);
    if (file == 0) return Text();
    Text text = readText(file);
    closeFile(file);
    return bankText(text);
}

bool writeBank(const Text& name, const Text& text) {
    if (!isPlainFileName(name)) return false;
    // What earlier saves left behind when they were cut off goes now.
    for (const Text& leftover : sortedNames(bankFolder(), FindKind::FilesOnly))
        if (isLeftoverSave(leftover)) removeFile(bankFolder() + leftover);
    // Written beside the old bank and moved over it only when complete: a
    // failed save keeps the old words.
    return replaceFile(bankFolder() + name + ".txt", text);
}

TextArray splitEntries(const Text& text) {
    return splitText(text, "\r\n");
}

Text stripTxt(const Text& rowName) {
    return replaceText(rowName, ".txt", Text(), 1, 1);
}
