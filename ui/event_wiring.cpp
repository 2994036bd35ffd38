// Which handler serves which event of which control, for both windows.
// Handlers keep their own signatures; the small adapters here fit them to
// the common EventHandler shape.
#include "ui/event_wiring.h"

#include "app/answering.h"
#include "app/main_window.h"
#include "app/quiz_driver.h"
#include "app/report.h"
#include "stats/statistics_window.h"
#include "ui/bank_window_layout.h"
#include "ui/main_window_layout.h"
#include "ui/window_fit.h"
#include "wordbank/bank_manager.h"

namespace {

constexpr int kWindow = -1;
constexpr WindowId kMain = WindowId::Main;
constexpr WindowId kBank = WindowId::Bank;

template <void (*handler)()>
int run(const EventArgs&) {
    handler();
    return 0;
}

int answerKeyDown(const EventArgs& args) {
    return onAnswerKeyDown(args.a) ? 1 : 0;
}

int hotkeyNotified(const EventArgs& args) {
    onHotkey(args.a);
    return 0;
}

int searchProgressNotified(const EventArgs& args) {
    onSearchProgress(args.a, args.b);
    return 0;
}

const EventBinding bindings[] = {
    // The quiz window.
    {kMain, kWindow, EventKind::Created, run<onMainWindowCreated>},
    {kMain, kWindow, EventKind::CloseRequested, run<onMainWindowClosing>},
    {kMain, kWindow, EventKind::Destroyed, run<onMainWindowDestroyed>},
    {kMain, kWindow, EventKind::ScreenChanged, run<onMainWindowScreenChanged>},
    {kMain, mainWindow::按钮1, EventKind::Click, run<startQuiz>},
    {kMain, mainWindow::答题按钮3, EventKind::Click, run<checkAnswer>},
    {kMain, mainWindow::答题按钮1, EventKind::Click, run<onStopClicked>},
    {kMain, mainWindow::按钮2, EventKind::Click, run<openReport>},
    {kMain, mainWindow::编辑框2, EventKind::KeyDown, answerKeyDown},
    {kMain, mainWindow::单选框1, EventKind::Click, run<onMeaningOptionClicked>},
    {kMain, mainWindow::单选框2, EventKind::Click, run<onSpellingOptionClicked>},
    {kMain, mainWindow::单选框4, EventKind::Click, run<onPhoneticOptionClicked>},
    {kMain, mainWindow::单选框5, EventKind::Click, run<onHintOptionClicked>},
    {kMain, mainWindow::标签1, EventKind::Notify, hotkeyNotified},
    // The word-bank window.
    {kBank, kWindow, EventKind::Created, run<onBankWindowCreated>},
    {kBank, kWindow, EventKind::CloseRequested, run<onBankWindowClosing>},
    {kBank, kWindow, EventKind::ScreenChanged, run<refitBankWindow>},
    {kBank, bankWindow::超级列表框1, EventKind::Click, run<onBankClicked>},
    {kBank, bankWindow::超级列表框1, EventKind::DoubleClick, run<onBankDoubleClicked>},
    {kBank, bankWindow::选择框1, EventKind::Click, run<onMuteClicked>},
    {kBank, bankWindow::使用词库按钮1, EventKind::Click, run<useBank>},
    {kBank, bankWindow::按钮4, EventKind::Click, run<exportBank>},
    {kBank, bankWindow::按钮2, EventKind::Click, run<saveBank>},
    {kBank, bankWindow::按钮3, EventKind::Click, run<clearBankEditor>},
    {kBank, bankWindow::按钮1, EventKind::Click, run<removeBankRow>},
    {kBank, bankWindow::标签1, EventKind::Notify, searchProgressNotified},
    {kBank, bankWindow::学习统计, EventKind::Click, run<openStatistics>},
};

const EventBinding* findBinding(WindowId window, int control, EventKind event) {
    for (const EventBinding& b : bindings)
        if (b.window == window && b.control == control && b.event == event) return &b;
    return nullptr;
}

}  // namespace

std::span<const EventBinding> eventBindings() {
    return bindings;
}

int dispatchEvent(WindowId window, int control, EventKind event, const EventArgs& args) {
    const EventBinding* binding = findBinding(window, control, event);
    return binding ? binding->handler(args) : 0;
}

bool hasBinding(WindowId window, int control, EventKind event) {
    return findBinding(window, control, event) != nullptr;
}
