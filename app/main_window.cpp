// The quiz window outside a quiz: start-up with the bank choice, the option
// boxes with the window size rule, and closing.
#include "app/main_window.h"

#include "app/quiz_state.h"
#include "lookup/media_player.h"
#include "lookup/sound_effects.h"
#include "runtime/platform.h"
#include "runtime/services.h"
#include "ui/main_window_layout.h"
#include "ui/window_fit.h"

namespace {

using namespace mainWindow;

constexpr int kNoModifiers = 0;
constexpr int kKeyF1 = 0x70;
constexpr int kKeyF2 = 0x71;

void setWindowSize(const WindowSize& size) {
    platform().setWindowSize(WindowId::Main, size.width, size.height);
}

Rect designedRect(Control control) {
    const ControlSpec& c = spec.controls[control];
    return Rect{c.left, c.top, c.width, c.height};
}

WindowSize wideSizeOf(const Rect& box, const Rect& view) {
    return WindowSize{box.left + box.width + view.width + 20, view.top + view.height + 40};
}

// The window at its widest, as designed, has to fit the screen; the compact
// size then fits as well.
void fitMainWindow() {
    const WindowSize wide = wideSizeOf(designedRect(超级编辑框1), designedRect(超文本浏览框1));
    fitToScreen(WindowId::Main, OuterSize{wide.width, wide.height});
}

void setSizeForOptions() {
    setWindowSize(platform().isChecked(ctl(单选框1)) ? wideWindowSize() : compactWindowSize());
}

// Shows or hides a control to match its option box.
void followOption(Control option, Control shown) {
    platform().setVisible(ctl(shown), platform().isChecked(ctl(option)));
}

}  // namespace

void onMainWindowCreated() {
    loadWindow(WindowId::Bank, true);
    // The bank window ends the program when it is closed without a choice;
    // without words there is nothing to practise either way.
    if (wordList.empty()) endProgram(0);
    fitMainWindow();
    setWindowSize(compactWindowSize());
    playSound(soundEffectPath("等待开始.wav"));
    platform().setWindowCaption(WindowId::Main, platform().windowCaption(WindowId::Main) + bankName);
    platform().setControlText(ctl(标签3), "当前词库单词数量：" + toText(static_cast<int>(wordList.size())));
    platform().navigateHtml(ctl(超文本浏览框1), "about:blank");
    setMediaType("mp3");
    openMedia("毫秒");
    // Both keys notify the hidden label, which hands the id to onHotkey.
    replayHotkeyId = registerHotkey(WindowId::Main, ctl(标签1), kNoModifiers, kKeyF1);
    hintHotkeyId = registerHotkey(WindowId::Main, ctl(标签1), kNoModifiers, kKeyF2);
}

void onMainWindowClosing() {
    stopAllSounds();
    stopMedia(1);
    endProgram(0);
}

void onMainWindowDestroyed() {
    endProgram(0);
}

void onMainWindowScreenChanged() {
    fitMainWindow();
    setSizeForOptions();
}

void onMeaningOptionClicked() {
    followOption(单选框1, 超文本浏览框1);
    setSizeForOptions();
}

void onSpellingOptionClicked() {
    followOption(单选框2, 拼写标签);
}
void onPhoneticOptionClicked() {
    followOption(单选框4, 超级编辑框1);
}
void onHintOptionClicked() {
    followOption(单选框5, 提示标签1);
    // The label already holds the word when F2 was pressed for it.
    if (hintAskedForWord == 1 && platform().isChecked(ctl(单选框5))) hintShownForWord = 1;
}

// Computed from the controls as they stand, so the sizes follow the layout.
WindowSize compactWindowSize() {
    Rect box = platform().controlRect(ctl(超级编辑框1));
    Rect status = platform().controlRect(ctl(标签4));
    return WindowSize{box.left + box.width + 10, status.top + 50};
}

WindowSize wideWindowSize() {
    return wideSizeOf(platform().controlRect(ctl(超级编辑框1)), platform().controlRect(ctl(超文本浏览框1)));
}
