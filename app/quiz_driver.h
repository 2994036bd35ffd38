// One quiz over wordList: random order, per-word lookup and playback, the
// polling wait and the status line.
#pragma once

#include "runtime/text.h"

void startQuiz();
void runQuiz();
void waitForAnswer();
// A quiz still running when the program ends (the window closed in the
// middle of it) is recorded as stopped, with the words it asked.
void recordQuizCutShort();
Text statusLineText(int done, int total);
