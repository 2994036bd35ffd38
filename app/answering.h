// The learner's side of a quiz: judging answers, stop, F1 replay, F2 hint.
#pragma once

void checkAnswer();
bool onAnswerKeyDown(int keyCode);  // true when the key is consumed
void onStopClicked();
void onHotkey(int hotkeyId);
