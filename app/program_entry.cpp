// Program entry shared by every backend: state, settings, the main window
// and the message loop.
#include "app/program_entry.h"

#include "app/quiz_state.h"
#include "lookup/hosts.h"
#include "runtime/platform.h"
#include "runtime/services.h"

int programMain() {
    initQuizState();
    registerCleanup(releaseQuizState);
    loadHostSettings();
    // Started before the first window, so the service is loading its data
    // while the learner chooses a bank.
    if (builtInServiceInUse()) platform().startBundledService(kBuiltInServicePort);
    // The main window's creation handler runs inside this call and first
    // makes the learner choose a bank.
    loadWindow(WindowId::Main, false);
    int exitCode = platform().runMessageLoop();
    runCleanup();
    return exitCode;
}
