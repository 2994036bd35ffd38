#include "runtime/qt/app_identity.h"

#include <QApplication>
#include <QIcon>

void applyAppIdentity() {
    // Rendered from packaging/icons/vorbelzoz.svg and compiled into the
    // program (runtime/qt/CMakeLists.txt), so the title and task bars show the
    // menu's icon even where the icon theme is not installed.
    const QIcon icon(QStringLiteral(":/vorbelzoz/vorbelzoz.png"));
    if (!icon.isNull()) QApplication::setWindowIcon(icon);
    // Matches the windows to the menu entry for task bars that group by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("vorbelzoz"));
}
