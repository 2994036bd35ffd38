// The program-wide learning record and its failure rule.
#include "record/learning_record.h"

#include "record/bank_marks.h"
#include "record/learning_day.h"
#include "record/record_schema.h"
#include "record/record_trouble.h"
#include "record/review_banks.h"
#include "runtime/files.h"
#include "runtime/native_fs.h"
#include "runtime/platform.h"
#include "runtime/services.h"
#include "wordbank/bank_files.h"

namespace {

RecordStore store;
Text untold;       // what the learner has yet to be told
Text troubleLine;  // why the record is not kept, in one line

std::int64_t utcNow() {
    return hasPlatform() ? platform().utcMilliseconds() : 0;
}

// Each trouble is told once; a second one in the same run (after a damaged
// record was set aside and begun anew) is told as well, so the learner never
// believes answers are kept when they are not.
void tell(const Text& message) {
    untold += (untold.empty() ? "" : "\r\n") + message;
}

std::vector<ListedBank> banksToday() {
    std::vector<ListedBank> banks;
    listBanksQuietly(bankFolder(), [&banks](const Text& folder, const Text& name) {
        banks.push_back(ListedBank{bankPathOf(BankRow{folder, name}), name});
    });
    return banks;
}

// The file opened and its statements prepared. A file whose tables do not
// take this program's statements is no record of this program's.
OpenedRecord openAndAttach(const Text& path) {
    OpenedRecord opened = openRecordFile(native::utf8Path(path), banksToday);
    if (opened.outcome != OpenOutcome::Opened) return opened;
    int code = attachRecordStore(store, opened.db);
    if (code == 0) code = settleFutureReviews(store, todayLearningDay());
    if (code != 0) {
        closeRecordStore(store);
        opened.db = nullptr;
        opened.code = code;
        const bool damaged = (code & 0xFF) == 1 /* SQLITE_ERROR */ || isRecordDamage(code);
        opened.outcome = damaged ? OpenOutcome::Damaged : OpenOutcome::Failed;
    }
    return opened;
}

// The record is not kept for the rest of the run.
void stopKeeping(RecordTrouble trouble, int code) {
    closeRecordStore(store);
    const Text message = recordTroubleMessage(trouble, code);
    troubleLine = message.substr(0, message.find('\r'));
    tell(message);
}

// Opens the record; a damaged one is moved aside whole, kept byte for byte
// under another name (the learner may want it), and a new one begun.
void open(bool damagedAlready, int damageCode) {
    const Text path = learningRecordPath();
    OpenedRecord opened;
    if (damagedAlready) {
        opened.outcome = OpenOutcome::Damaged;
        opened.code = damageCode;
    } else {
        opened = openAndAttach(path);
    }
    Text aside;
    if (opened.outcome == OpenOutcome::Damaged) {
        aside = setDamagedRecordAside(path);
        if (aside.empty()) return stopKeeping(RecordTrouble::DamagedStuck, opened.code);
        opened = openAndAttach(path);
    }
    switch (opened.outcome) {
        case OpenOutcome::Opened:
            if (!aside.empty()) tell(recordSetAsideMessage(aside, true));
            return;
        case OpenOutcome::TooNew:
            stopKeeping(RecordTrouble::TooNew, 0);
            break;
        case OpenOutcome::Damaged:
            stopKeeping(RecordTrouble::DamagedStuck, opened.code);
            break;
        case OpenOutcome::Failed:
            stopKeeping(troubleOf(opened.code), opened.code);
            break;
    }
    // No new record could be begun after the damaged one was moved aside.
    if (!aside.empty()) tell(recordSetAsideMessage(aside, false));
}

// A failed statement. Damage met at any time is damage: the record is set
// aside and begun anew, and true tells the caller to try once more. Any
// other failure ends the record for this run.
bool recover(int code) {
    if (!recordStoreOpen(store)) return false;
    if (!isRecordDamage(code)) {
        stopKeeping(troubleOf(code), code);
        return false;
    }
    closeRecordStore(store);
    open(true, code);
    return recordStoreOpen(store);
}

}  // namespace

Text learningRecordPath() {
    return programFolder() + "\\学习记录.db";
}

void openLearningRecord() {
    closeRecordStore(store);
    untold.clear();
    troubleLine.clear();
    open(false, 0);
    refreshReviewBanks();
}

void closeLearningRecord() {
    closeRecordStore(store);
}

RecordStore* keptLearningRecord() {
    return recordStoreOpen(store) ? &store : nullptr;
}

void recordAnswer(AnswerFacts answer) {
    answer.utcMs = utcNow();
    for (int attempt = 0; attempt < 2 && recordStoreOpen(store); ++attempt) {
        int code = storeAnswer(store, answer, todayLearningDay());
        if (code == 0 || !recover(code)) return;
    }
}

void recordQuiz(QuizFacts quiz) {
    quiz.endUtcMs = utcNow();
    quiz.endCalendarDay = todayCalendarDay();
    for (int attempt = 0; attempt < 2 && recordStoreOpen(store); ++attempt) {
        int code = storeQuiz(store, quiz);
        if (code == 0 || !recover(code)) return;
    }
}

void giveUpLearningRecord(int sqliteCode) {
    recover(sqliteCode);
}

void refreshReviewBanks() {
    for (int attempt = 0; attempt < 2 && recordStoreOpen(store); ++attempt) {
        int code = writeReviewBanks(store, todayLearningDay());
        if (code == 0 || !recover(code)) return;
    }
}

void tellRecordTroubleOnce() {
    if (untold.empty()) return;
    const Text message = untold;
    untold.clear();
    messageBox(message);
}

Text learningRecordTrouble() {
    if (recordStoreOpen(store)) return Text();
    return troubleLine.empty() ? Text("学习记录没有打开。") : troubleLine;
}
