// The program-wide state shared by the quiz, the lookup, the player and the
// word-bank window. It lives from start-up to exit; only the GUI thread
// touches it.
#pragma once

#include <cstdint>

#include "runtime/text.h"

struct WordInfo {
    Text word;         // the entry as drawn: expected answer, hint, wrong-word line
    Text meaningHtml;  // meanings shown in the HTML view
    Text soundFile;    // full path of the pronunciation MP3
};

extern TextArray wordList;
extern Text bankName;
extern WordInfo currentWord;
extern int rightCount;
extern int wrongCount;
extern int hintCount;
extern Text wrongWords;    // expected word + CR LF per wrong answer
extern Text errorDetails;  // word + "写成了>" + typed + CR LF per wrong answer
extern int stopRequested;
extern int answered;
extern int quizRunning;  // 1 from "开始" until that quiz's report is written
extern Text mediaType;
extern int mediaResult;
extern int replayHotkeyId;
extern int hintHotkeyId;
extern int foldersSearched;
// For the learning record: when the running quiz started (UTC ms), when the
// word asked now was shown (tick), and whether F2 was pressed for it and
// whether the hint label then showed it ("提示" checked).
extern std::int64_t quizStartedUtcMs;
extern std::int64_t wordShownTick;
extern int hintAskedForWord;
extern int hintShownForWord;
// The bank in use as the record names it: its path under the word-bank
// folder, so two banks of one name in different folders stay apart.
extern Text bankPath;
// The running quiz as the record keeps it: only words the quiz itself
// asked. The screen also judges an Enter in the pause after "开始" or after
// the last word; those answered no word and stay out of the record. asked
// is the word being asked (0 before the first and once the quiz is
// recorded), so a quiz cut short can be recorded with its counts.
struct RecordedQuiz {
    int asked = 0;
    int right = 0;
    int wrong = 0;
    int hints = 0;
};
extern RecordedQuiz recordedQuiz;

// Start-up step: every variable back to its initial value.
void initQuizState();
// Release at exit: every text and the array emptied.
void releaseQuizState();
