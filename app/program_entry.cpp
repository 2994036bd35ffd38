// Program entry shared by every backend: state, settings, the main window
// and the message loop.
#include "app/program_entry.h"

#include "app/quiz_driver.h"
#include "app/quiz_state.h"
#include "lookup/hosts.h"
#include "record/learning_record.h"
#include "runtime/files.h"
#include "runtime/platform.h"
#include "runtime/services.h"
#include "wordbank/bank_files.h"
#include "wordbank/banks_listed_ahead.h"

namespace {

// The program's texts and paths are GBK. In a folder whose path GBK cannot
// hold, the program would find none of its files and sounds and quiz on an
// empty bank list; it says so once and ends instead.
void endUnlessProgramFolderFitsGbk() {
    if (programFolderFitsGbk()) return;
    messageBox("程序所在文件夹的路径中有程序无法使用的字符：\r\n" + programFolderShown() +
               "\r\n请把程序文件夹移到只含中文和英文字符的路径下，再启动程序。");
    endProgram(1);
}

}  // namespace

int programMain() {
    endUnlessProgramFolderFitsGbk();
    initQuizState();
    registerCleanup(releaseQuizState);
    loadHostSettings();
    // Started before the first window, so the service is loading its data
    // while the learner chooses a bank.
    if (builtInServiceInUse()) platform().startBundledService(kBuiltInServicePort);
    // Before the bank window lists the banks: the review banks are written
    // and the rows can be marked from the record.
    openLearningRecord();
    registerCleanup(closeLearningRecord);
    registerCleanup(recordQuizCutShort);  // runs first, while the record is open
    tellRecordTroubleOnce();
    startListingBanksAhead(bankFolder());
    // The main window's creation handler runs inside this call and first
    // makes the learner choose a bank.
    loadWindow(WindowId::Main, false);
    int exitCode = platform().runMessageLoop();
    runCleanup();
    return exitCode;
}
