// Reading and writing the learning record: one row per judged answer, one
// per quiz, one per entry with its history. Every function returns SQLite's
// result code (0 when it worked); a failed write leaves the record as it was.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "record/word_history.h"
#include "runtime/text.h"

struct sqlite3;
struct sqlite3_stmt;

struct AnswerFacts {
    std::int64_t utcMs = 0;
    Text bank;   // the bank's path under the word-bank folder
    Text entry;  // the expected answer, byte for byte
    Text typed;
    bool correct = false;
    bool hintShown = false;     // the hint showed this word before the answer
    std::int64_t answerMs = 0;  // from the word shown to the answer
};

struct QuizFacts {
    Text bank;  // as in AnswerFacts
    std::int64_t startUtcMs = 0, endUtcMs = 0;
    int endCalendarDay = 0;  // local calendar day of the end, for the bank list
    int asked = 0, right = 0, wrong = 0, hints = 0;
    bool finished = false;  // ran to its last word rather than stopped
};

// The last quiz on one bank.
struct BankPractice {
    int lastCalendarDay = 0;
    int asked = 0, right = 0;
};

struct RecordStore {
    sqlite3* db = nullptr;
    sqlite3_stmt* insertAnswer = nullptr;
    sqlite3_stmt* selectWord = nullptr;
    sqlite3_stmt* upsertWord = nullptr;
    sqlite3_stmt* insertQuiz = nullptr;
};

// Takes over an open connection (see openRecordFile) and prepares the
// statements; on failure the connection is closed.
int attachRecordStore(RecordStore& store, sqlite3* db);
// Closes the connection; the WAL is folded back into the file.
void closeRecordStore(RecordStore& store);
bool recordStoreOpen(const RecordStore& store);

// The answer, and the entry's history after it, in one transaction.
int storeAnswer(RecordStore& store, const AnswerFacts& answer, int learningDay);
int storeQuiz(RecordStore& store, const QuizFacts& quiz);

// The entry's history; found is false for an entry never answered.
int loadWordHistory(RecordStore& store, const Text& entry, WordHistory& history, bool& found);
// The columns of a words row from `first` on, in the table's order
// (stability ... last_recalled), bounded as every history read is.
WordHistory wordHistoryColumns(sqlite3_stmt* statement, int first);
// Entries due on or before the day, most overdue first.
int dueEntries(RecordStore& store, int day, int limit, TextArray& entries);
// Entries in the error book, most recently missed first.
int errorBookEntries(RecordStore& store, TextArray& entries);
// The last quiz of every bank practised, by the bank's path, and the bank of
// the last quiz that ran to its end on a bank whose path does not begin
// with reviewPrefix (empty when none did). Quizzes of an older record whose
// bank could not be told apart from its namesakes count for neither.
int bankPractice(RecordStore& store, const Text& reviewPrefix, std::map<Text, BankPractice>& banks,
                 Text& lastFinishedBank);
// A word last reviewed after today (the clock was set back, or the record
// came from a machine whose clock ran ahead) counts as reviewed today: its
// next review keeps its interval from today, so it is never years away.
int settleFutureReviews(RecordStore& store, int today);
