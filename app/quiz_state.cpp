// The program-wide quiz state.
#include "app/quiz_state.h"

TextArray wordList;
Text bankName;
WordInfo currentWord;
int rightCount = 0;
int wrongCount = 0;
int hintCount = 0;
Text wrongWords;
Text errorDetails;
int stopRequested = 0;
int answered = 0;
int quizRunning = 0;
Text mediaType;
int mediaResult = 0;
int replayHotkeyId = 0;
int hintHotkeyId = 0;
// Counts every folder listed during the run and is never reset, so
// initQuizState leaves it alone.
int foldersSearched = 0;
std::int64_t quizStartedUtcMs = 0;
std::int64_t wordShownTick = 0;
int hintAskedForWord = 0;
int hintShownForWord = 0;
Text bankPath;
RecordedQuiz recordedQuiz;

void initQuizState() {
    wordList = TextArray();
    bankName = Text();
    currentWord = WordInfo();
    rightCount = 0;
    wrongCount = 0;
    hintCount = 0;
    wrongWords = Text();
    errorDetails = Text();
    stopRequested = 0;
    answered = 0;
    quizRunning = 0;
    mediaType = Text();
    mediaResult = 0;
    replayHotkeyId = 0;
    hintHotkeyId = 0;
    quizStartedUtcMs = 0;
    wordShownTick = 0;
    hintAskedForWord = 0;
    hintShownForWord = 0;
    bankPath = Text();
    recordedQuiz = RecordedQuiz();
}

void releaseQuizState() {
    // Swapping with empty values gives the memory back, which clear() need not.
    TextArray().swap(wordList);
    Text().swap(bankName);
    Text().swap(bankPath);
    Text().swap(currentWord.word);
    Text().swap(currentWord.meaningHtml);
    Text().swap(currentWord.soundFile);
    Text().swap(wrongWords);
    Text().swap(errorDetails);
    Text().swap(mediaType);
}
