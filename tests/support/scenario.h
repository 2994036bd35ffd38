// Small steps shared by the scenario tests: the learner answering the word
// on screen, and running the whole program.
#pragma once

#include <functional>
#include <vector>

#include "fake_platform.h"

// The words asked and what the learner typed, in the order of the quiz.
struct Answers {
    std::vector<Text> asked;
    std::vector<Text> typed;
};

using Typing = std::function<Text(const Text&)>;

// At the given time the learner reads the word in the spelling label, types
// it (or what `typing` makes of it) into the answer box and presses Enter.
void answerAt(FakePlatform& fake, std::int64_t ms, Answers& answers, Typing typing = nullptr);
Text dropLastLetter(const Text& word);
// Double-clicks the first row of the bank list at the given time.
void chooseFirstBankAt(FakePlatform& fake, std::int64_t ms);
// programMain; an end of the program through endProgram fails the test.
int runProgram();
// The words whose dictionary page was requested, in order, with the times.
std::vector<Text> dictionaryRequests(const FakePlatform& fake, std::vector<std::int64_t>* times = nullptr);
int countOf(const std::vector<Text>& list, const Text& item);
