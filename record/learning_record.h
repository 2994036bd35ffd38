// The learning record as the rest of the program meets it: opened at
// start-up, told of each judged answer and each ended quiz. When it cannot
// be kept the quiz runs as ever; the learner is told once and the record is
// not tried again until the next start. A damaged record is set aside and
// begun anew whenever the damage shows.
#pragma once

#include "record/record_store.h"

Text learningRecordPath();  // program folder + "\学习记录.db"

// Opens the record (a damaged file is moved aside and a new record begun)
// and writes the review banks. Call before the bank window lists the banks.
void openLearningRecord();
void closeLearningRecord();
// The open record, or null when none is kept.
RecordStore* keptLearningRecord();

// The time fields are filled in here, from the platform's clock.
void recordAnswer(AnswerFacts answer);
void recordQuiz(QuizFacts quiz);
// A failed read of the record: a damaged record is set aside and begun anew,
// any other failure ends it for the rest of the run.
void giveUpLearningRecord(int sqliteCode);
// Rewrites today's review and the error book from the record.
void refreshReviewBanks();
// Why no record is kept, in one line; empty while it is kept.
Text learningRecordTrouble();
// Shows the message about the record's trouble, if there is one the learner
// has not been told yet.
void tellRecordTroubleOnce();
