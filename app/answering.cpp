// The learner's side of a quiz. These handlers talk to the waiting driver
// only through the answered and stopRequested flags.
#include "app/answering.h"

#include "app/quiz_state.h"
#include "lookup/media_player.h"
#include "lookup/sound_effects.h"
#include "record/learning_record.h"
#include "runtime/clock.h"
#include "runtime/platform.h"
#include "runtime/services.h"
#include "ui/main_window_layout.h"

namespace {

using namespace mainWindow;

constexpr int kEnterKey = 13;
constexpr int kRightAnswerPauseMs = 1000;

// True during the pause after a right answer. That pause keeps handling
// events, so a second Enter or "完成" would otherwise be judged at once
// against the emptied box.
bool inRightAnswerPause = false;

// Cleared however the pause is left, also when the program ends inside it.
struct RightAnswerPause {
    RightAnswerPause() { inRightAnswerPause = true; }
    ~RightAnswerPause() { inRightAnswerPause = false; }
    RightAnswerPause(const RightAnswerPause&) = delete;
    RightAnswerPause& operator=(const RightAnswerPause&) = delete;
};

Text answerBoxText() {
    return platform().controlText(ctl(编辑框2));
}
void emptyAnswerBox() {
    platform().setControlText(ctl(编辑框2), "");
}

// Answers outside a quiz judge the last word again and reach no report. The
// record also leaves out those in the pause after "开始" and after the last
// word: the screen judges them against a word this quiz did not ask.
void recordJudgedAnswer(const Text& typed, bool right) {
    if (recordedQuiz.asked == 0) return;
    (right ? recordedQuiz.right : recordedQuiz.wrong) += 1;
    AnswerFacts answer;
    answer.bank = bankPath;
    answer.entry = currentWord.word;
    answer.typed = typed;
    answer.correct = right;
    answer.hintShown = hintShownForWord == 1;
    answer.answerMs = tickCount() - wordShownTick;
    recordAnswer(answer);
}

}  // namespace

// Byte for byte: case, blanks and an empty entry all count as typed.
// Each word of a quiz is judged once: a further Enter or "完成" before the
// next word is asked (in the pause after a right answer, or in the rest of
// the driver's poll after a wrong one) is the same answer again and ignored.
void checkAnswer() {
    if (inRightAnswerPause || (quizRunning == 1 && answered == 1)) return;
    const Text typed = answerBoxText();
    if (typed == currentWord.word) {
        playSound(soundEffectPath("答对.wav"));
        emptyAnswerBox();
        rightCount += 1;
        recordJudgedAnswer(typed, true);
        RightAnswerPause pause;
        waitProcessingEvents(kRightAnswerPauseMs);
    } else {
        playSound(soundEffectPath("答错.wav"));
        wrongWords += currentWord.word + "\r\n";
        errorDetails += currentWord.word + "写成了>" + answerBoxText() + "\r\n";
        wrongCount += 1;
        emptyAnswerBox();
        recordJudgedAnswer(typed, false);
    }
    answered = 1;
}

bool onAnswerKeyDown(int keyCode) {
    if (keyCode != kEnterKey) return false;
    // Swallowed, so the multi-line answer box never gets a line break.
    checkAnswer();
    return true;
}

void onStopClicked() {
    stopRequested = 1;
}

void onHotkey(int hotkeyId) {
    if (hotkeyId == 0) return;  // a failed registration's id never names a key
    if (hotkeyId == replayHotkeyId && platform().isChecked(ctl(单选框3))) {
        stopMedia(1);
        playMedia(currentWord.soundFile);
    }
    if (hotkeyId == hintHotkeyId) {
        playSound(soundEffectPath("提示.wav"));
        platform().setControlText(ctl(提示标签1), currentWord.word);
        hintCount += 1;
        hintAskedForWord = 1;
        if (recordedQuiz.asked > 0) recordedQuiz.hints += 1;
        if (platform().isChecked(ctl(单选框5))) hintShownForWord = 1;
    }
}
