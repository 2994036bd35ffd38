// The quiz driver: every entry of the bank once, in a random order, with a
// polling wait for the learner's answer between words.
#include "app/quiz_driver.h"

#include "app/quiz_state.h"
#include "app/report.h"
#include "lookup/dictionary_lookup.h"
#include "lookup/media_player.h"
#include "lookup/sound_effects.h"
#include "record/learning_record.h"
#include "runtime/clock.h"
#include "runtime/platform.h"
#include "runtime/random.h"
#include "runtime/services.h"
#include "ui/main_window_layout.h"

namespace {

using namespace mainWindow;

constexpr int kStartPauseMs = 2000;
constexpr int kPollMs = 300;

bool pronunciationWanted() {
    return platform().isChecked(ctl(单选框3));
}

// The generator is seeded again before every draw, so the draw depends on
// the clock's second and on how many entries remain.
int drawPosition(int remainingCount) {
    seedRandom(static_cast<std::uint32_t>(secondOf(currentTime())));
    return 1 + nextRandomValue() % remainingCount;
}

// Once per quiz: afterwards nothing more of it reaches the record.
void recordEndedQuiz(bool finished) {
    if (recordedQuiz.asked == 0) return;
    QuizFacts quiz;
    quiz.bank = bankPath;
    quiz.startUtcMs = quizStartedUtcMs;
    quiz.asked = recordedQuiz.asked;
    quiz.right = recordedQuiz.right;
    quiz.wrong = recordedQuiz.wrong;
    quiz.hints = recordedQuiz.hints;
    quiz.finished = finished;
    recordedQuiz = RecordedQuiz();
    recordQuiz(quiz);
}

}  // namespace

void startQuiz() {
    // The quiz's waits keep handling events, so "开始" can be pressed again
    // while it runs. A second quiz inside the first would reset the counters
    // under it and leave two reports that do not add up: ignore the press.
    if (quizRunning == 1) return;
    if (!platform().isChecked(ctl(单选框1)) && !platform().isChecked(ctl(单选框3))) {
        messageBox("请勾选练习内容：词意或发音");
        return;
    }
    quizRunning = 1;
    quizStartedUtcMs = platform().utcMilliseconds();
    recordedQuiz = RecordedQuiz();
    stopRequested = 0;
    answered = 0;
    stopAllSounds();
    errorDetails.clear();
    wrongWords.clear();
    wrongCount = 0;
    rightCount = 0;
    hintCount = 0;
    playSound(soundEffectPath("开始.wav"));
    platform().setEnabled(ctl(按钮2), false);
    waitProcessingEvents(kStartPauseMs);
    runQuiz();
    quizRunning = 0;
}

void runQuiz() {
    TextArray remaining = wordList;
    const int total = static_cast<int>(wordList.size());
    int asked = total;
    bool finished = true;
    for (int k = 1; k <= total; ++k) {
        const int p = drawPosition(static_cast<int>(remaining.size()));
        const Text entry = remaining[p - 1];
        prepareWord(entry);
        remaining.erase(remaining.begin() + (p - 1));
        showMeanings(currentWord.meaningHtml);
        if (pronunciationWanted()) {
            stopMedia(1);
            playMedia(currentWord.soundFile);
        }
        platform().setControlText(ctl(提示标签1), "按F2进行提示");
        wordShownTick = tickCount();
        hintAskedForWord = 0;
        hintShownForWord = 0;
        recordedQuiz.asked = k;
        waitForAnswer();
        if (stopRequested == 1) {
            // The word in progress counts as asked.
            asked = k;
            finished = false;
            break;
        }
        platform().setControlText(ctl(标签4), statusLineText(k, total));
    }
    recordEndedQuiz(finished);
    produceReport(asked);
    // Behind the summary box, where the learner does not wait for it.
    refreshReviewBanks();
    tellRecordTroubleOnce();
}

void recordQuizCutShort() {
    recordEndedQuiz(false);
}

void waitForAnswer() {
    answered = 0;
    while (answered == 0 && stopRequested == 0) {
        waitProcessingEvents(kPollMs);
        processEvents();
    }
}

Text statusLineText(int done, int total) {
    return "按F1可以重听语音    目前已进行了：" + toText(done) + "个   还有： " + toText(total - done) +
           "个  正确数量：" + toText(rightCount) + "个  错误数量：" + toText(wrongCount) +
           "正确率:" + accuracyText(rightCount, done) + "%";
}
