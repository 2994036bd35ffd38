// The program-wide learning record and its failure rule.
#include "record/learning_record.h"

#include "record/learning_day.h"
#include "record/record_schema.h"
#include "record/record_trouble.h"
#include "record/review_banks.h"
#include "runtime/files.h"
#include "runtime/native_fs.h"
#include "runtime/platform.h"
#include "runtime/services.h"

namespace {

RecordStore store;
Text pendingMessage;  // what the learner has yet to be told
bool told = false;    // the one message of this run has been shown
Text troubleLine;     // why the record is not kept, in one line

std::int64_t utcNow() {
    return hasPlatform() ? platform().utcMilliseconds() : 0;
}

// The record is not kept for the rest of the run.
void giveUp(RecordTrouble trouble, int code) {
    closeRecordStore(store);
    const Text message = recordTroubleMessage(trouble, code);
    if (troubleLine.empty()) troubleLine = message.substr(0, message.find('\r'));
    if (pendingMessage.empty()) pendingMessage = message;
}

void giveUp(int code) {
    giveUp(troubleOf(code), code);
}

// The file opened and its statements prepared. A file whose tables do not
// take this program's statements is no record of this program's.
OpenedRecord openAndAttach(const Text& path) {
    OpenedRecord opened = openRecordFile(native::utf8Path(path));
    if (opened.outcome != OpenOutcome::Opened) return opened;
    int code = attachRecordStore(store, opened.db);
    if (code != 0) {
        opened.db = nullptr;
        opened.code = code;
        opened.outcome = (code & 0xFF) == 1 /* SQLITE_ERROR */ ? OpenOutcome::Damaged : OpenOutcome::Failed;
    }
    return opened;
}

}  // namespace

Text learningRecordPath() {
    return programFolder() + "\\学习记录.db";
}

void openLearningRecord() {
    closeRecordStore(store);
    pendingMessage.clear();
    troubleLine.clear();
    told = false;
    const Text path = learningRecordPath();
    OpenedRecord opened = openAndAttach(path);
    Text aside;
    if (opened.outcome == OpenOutcome::Damaged) {
        // Kept byte for byte under another name; the learner may want it.
        aside = setDamagedRecordAside(path);
        if (aside.empty()) return giveUp(RecordTrouble::DamagedStuck, opened.code);
        opened = openAndAttach(path);
    }
    switch (opened.outcome) {
        case OpenOutcome::Opened:
            if (!aside.empty()) pendingMessage = recordSetAsideMessage(aside, true);
            refreshReviewBanks();
            return;
        case OpenOutcome::TooNew:
            giveUp(RecordTrouble::TooNew, 0);
            break;
        case OpenOutcome::Damaged:
            giveUp(RecordTrouble::DamagedStuck, opened.code);
            break;
        case OpenOutcome::Failed:
            giveUp(opened.code);
            break;
    }
    // No new record could be begun after the damaged one was moved aside.
    if (!aside.empty()) pendingMessage += "\r\n" + recordSetAsideMessage(aside, false);
}

void closeLearningRecord() {
    closeRecordStore(store);
}

RecordStore* keptLearningRecord() {
    return recordStoreOpen(store) ? &store : nullptr;
}

void recordAnswer(AnswerFacts answer) {
    if (!recordStoreOpen(store)) return;
    answer.utcMs = utcNow();
    int code = storeAnswer(store, answer, todayLearningDay());
    if (code != 0) giveUp(code);
}

void recordQuiz(QuizFacts quiz) {
    if (!recordStoreOpen(store)) return;
    quiz.endUtcMs = utcNow();
    quiz.endCalendarDay = todayCalendarDay();
    int code = storeQuiz(store, quiz);
    if (code != 0) giveUp(code);
}

void giveUpLearningRecord(int sqliteCode) {
    giveUp(sqliteCode);
}

void refreshReviewBanks() {
    if (!recordStoreOpen(store)) return;
    int code = writeReviewBanks(store, todayLearningDay());
    if (code != 0) giveUp(code);
}

void tellRecordTroubleOnce() {
    if (told || pendingMessage.empty()) return;
    told = true;
    messageBox(pendingMessage);
}

Text learningRecordTrouble() {
    if (recordStoreOpen(store)) return Text();
    return troubleLine.empty() ? Text("学习记录没有打开。") : troubleLine;
}
