#include "scenario.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/program_entry.h"
#include "ui/bank_window_layout.h"
#include "ui/main_window_layout.h"

void answerAt(FakePlatform& fake, std::int64_t ms, Answers& answers, Typing typing) {
    fake.at(ms, [&fake, &answers, typing] {
        const ControlRef box = mainWindow::ctl(mainWindow::编辑框2);
        Text word = fake.text(mainWindow::ctl(mainWindow::拼写标签));
        Text typed = typing ? typing(word) : word;
        answers.asked.push_back(word);
        answers.typed.push_back(typed);
        fake.type(box, typed);
        fake.pressEnter(box);
    });
}

Text dropLastLetter(const Text& word) {
    return word.empty() ? word : word.substr(0, word.size() - 1);
}

void chooseFirstBankAt(FakePlatform& fake, std::int64_t ms) {
    fake.doubleClickRowAt(ms, bankWindow::ctl(bankWindow::超级列表框1), 0);
}

int runProgram() {
    try {
        return programMain();
    } catch (const ProgramEnded& ended) {
        ADD_FAILURE() << "the program ended with " << ended.code;
        return -1;
    }
}

std::vector<Text> dictionaryRequests(const FakePlatform& fake, std::vector<std::int64_t>* times) {
    std::vector<Text> words;
    for (const HttpRecord& r : fake.httpRequests) {
        if (r.request.object.rfind("/text2audio", 0) == 0) continue;
        words.push_back(r.request.object.substr(1));
        if (times) times->push_back(r.atMs);
    }
    return words;
}

int countOf(const std::vector<Text>& list, const Text& item) {
    return static_cast<int>(std::count(list.begin(), list.end(), item));
}
