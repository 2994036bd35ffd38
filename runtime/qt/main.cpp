// The Linux program: a Qt application with the Qt platform installed.
#include <QApplication>

#include "app/program_entry.h"
#include "runtime/qt/app_identity.h"
#include "runtime/qt/qt_platform.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The program ends when its main window is destroyed, not when the
    // word-bank window (the only one shown at first) closes.
    QApplication::setQuitOnLastWindowClosed(false);
    applyAppIdentity();
    QtPlatform platform;
    installPlatform(&platform);
    return programMain();
}
