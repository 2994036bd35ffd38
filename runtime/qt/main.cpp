// The Linux program: a Qt application with the Qt platform installed.
#include <QApplication>

#include "app/program_entry.h"
#include "runtime/posix/program_folder.h"
#include "runtime/qt/app_identity.h"
#include "runtime/qt/bundled_service.h"
#include "runtime/qt/qt_platform.h"
#include "runtime/qt/user_folder.h"

int main(int argc, char** argv) {
    // An installed program works in the learner's own folder, made ready
    // before the program looks for its banks there.
    const std::string executableFolder = posix::executableFolderPath();
    if (posix::usesPerUserFolder(executableFolder))
        qtport::prepareUserFolder(executableFolder, posix::programFolderPath());

    QApplication application(argc, argv);
    // The program ends when its main window is destroyed, not when the
    // word-bank window (the only one shown at first) closes.
    QApplication::setQuitOnLastWindowClosed(false);
    applyAppIdentity();
    QtPlatform platform;
    installPlatform(&platform);
    const int exitCode = programMain();
    qtport::stopBundledService();
    return exitCode;
}
