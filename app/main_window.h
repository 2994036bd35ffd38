// The quiz window outside a quiz: creation, option boxes, size rule, close.
#pragma once

struct WindowSize {
    int width = 0, height = 0;
};

void onMainWindowCreated();
void onMainWindowClosing();
void onMainWindowDestroyed();
void onMainWindowScreenChanged();  // fitted again, at the size its options ask for
void onMeaningOptionClicked();     // 单选框1
void onSpellingOptionClicked();    // 单选框2
void onPhoneticOptionClicked();    // 单选框4
void onHintOptionClicked();        // 单选框5
WindowSize compactWindowSize();
WindowSize wideWindowSize();
