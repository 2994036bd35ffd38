// One quiz over wordList: random order, per-word lookup and playback, the
// polling wait and the status line.
#pragma once

#include "runtime/text.h"

void startQuiz();
void runQuiz();
void waitForAnswer();
Text statusLineText(int done, int total);
