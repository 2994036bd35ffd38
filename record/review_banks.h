// The two banks made from the learning record, in a sub-folder of the
// word-bank folder of their own so that no bank of the learner's is ever
// overwritten: today's review and the error book.
#pragma once

#include "record/record_store.h"
#include "runtime/text.h"

constexpr int kTodayReviewLimit = 200;

Text reviewFolder();  // bankFolder() + "00复习\"
Text todayReviewPath();
Text errorBookPath();

// Writes both banks as GBK, CR LF text; an empty one is not written and an
// old file of that name is removed. The word-bank folder itself is never
// created. Returns SQLite's result code; when the record could not be read
// the files are left as they were.
int writeReviewBanks(RecordStore& store, int learningDay);
