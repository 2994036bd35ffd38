// What the statistics page is computed from, read from the learning record
// and the word-bank folder.
#pragma once

#include "record/record_store.h"
#include "stats/learning_stats.h"

// Every answer, oldest first. Returns SQLite's result code. Without
// everything, only what the page needs: the time and the result of each,
// and the entry and typed text of the wrong ones.
int readAnswers(RecordStore& store, std::vector<AnswerRow>& answers, bool everything = true);
// Every entry's history.
int readWordHistories(RecordStore& store, std::map<Text, WordHistory>& words);
// The bundled word lists (the numbered folders of the word-bank folder from
// 02 on, each with every chapter in it) in folder order, then the learner's
// own banks (those directly in the word-bank folder) together as "我的词库".
std::vector<WordListEntries> readWordLists();
// The two parts of it.
std::vector<WordListEntries> readBundledLists();
WordListEntries readOwnBanks();
// Local time minus UTC now, from the platform's clock.
int currentUtcOffsetSeconds();
