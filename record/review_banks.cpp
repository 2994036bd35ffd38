// Today's review and the error book, written from the record.
#include "record/review_banks.h"

#include "runtime/files.h"
#include "runtime/native_fs.h"
#include "wordbank/bank_files.h"

namespace {

// An empty entry cannot be told from the line end of the one before it.
Text bankTextOf(const TextArray& entries) {
    Text text;
    for (const Text& entry : entries)
        if (!entry.empty()) text += entry + "\r\n";
    return text;
}

// Through a temporary copy moved into place, so a bank is never half
// written. A bank that already reads so is left alone: most starts change
// nothing, and a write waits for the disk.
void writeOrRemove(const Text& path, const Text& text) {
    if (text.empty()) {
        if (fileExists(path)) removeFile(path);
        return;
    }
    bool read = false;
    if (readFileBytes(path, read) == text && read) return;
    if (!native::makeFolder(reviewFolder())) return;
    replaceFile(path, text);
}

}  // namespace

Text reviewFolder() {
    return bankFolder() + "00复习\\";
}
Text todayReviewPath() {
    return reviewFolder() + "今日复习.txt";
}
Text errorBookPath() {
    return reviewFolder() + "错词本.txt";
}

int writeReviewBanks(RecordStore& store, int learningDay) {
    TextArray due, missed;
    int code = dueEntries(store, learningDay, kTodayReviewLimit, due);
    if (code == 0) code = errorBookEntries(store, missed);
    if (code != 0) return code;
    // The learner may have no word-bank folder; it is theirs to make.
    if (!native::exists(programFolder() + "\\单词表")) return 0;
    writeOrRemove(todayReviewPath(), bankTextOf(due));
    writeOrRemove(errorBookPath(), bankTextOf(missed));
    return 0;
}
