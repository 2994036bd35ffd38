#include "runtime/qt/qt_platform.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "runtime/posix/program_folder.h"
#include "runtime/qt/audio_device.h"
#include "runtime/qt/bundled_service.h"
#include "runtime/qt/controls.h"
#include "runtime/qt/dialogs.h"
#include "runtime/qt/event_loop.h"
#include "runtime/qt/hotkeys.h"
#include "runtime/qt/html_view.h"
#include "runtime/qt/http.h"
#include "runtime/qt/list_view.h"
#include "runtime/qt/media.h"
#include "runtime/qt/page_window.h"
#include "runtime/qt/rich_text.h"
#include "runtime/qt/row_marks.h"
#include "runtime/qt/sound.h"
#include "runtime/qt/windows.h"
#include "runtime/services.h"

std::int64_t QtPlatform::tickCount() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t QtPlatform::utcMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

DateTime QtPlatform::localTime() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                    local.tm_hour,        local.tm_min,     local.tm_sec};
}

bool QtPlatform::loadWindow(WindowId window, bool modal) {
    return qtport::loadWindow(window, modal);
}
void QtPlatform::closeWindow(WindowId window) {
    qtport::closeWindow(window);
}
Text QtPlatform::windowCaption(WindowId window) {
    return qtport::windowCaption(window);
}
void QtPlatform::setWindowCaption(WindowId window, const Text& caption) {
    qtport::setWindowCaption(window, caption);
}
void QtPlatform::setWindowSize(WindowId window, int outerWidth, int outerHeight) {
    qtport::setWindowSize(window, outerWidth, outerHeight);
}
int QtPlatform::runMessageLoop() {
    return qtport::runMessageLoop();
}

void QtPlatform::endProgram(int exitCode) {
    runCleanup();
    qtport::closeAllMedia();
    qtport::closeAudio();
    qtport::stopBundledService();
    std::fflush(nullptr);
    // Ends at once, from however deep in nested event loops the call comes;
    // the program's files are closed or written through by now.
    std::_Exit(exitCode);
}

Text QtPlatform::controlText(ControlRef control) {
    return qtport::controlText(control);
}
void QtPlatform::setControlText(ControlRef control, const Text& text) {
    qtport::setControlText(control, text);
}
bool QtPlatform::isChecked(ControlRef control) {
    return qtport::isChecked(control);
}
void QtPlatform::setVisible(ControlRef control, bool visible) {
    qtport::setVisible(control, visible);
}
void QtPlatform::setEnabled(ControlRef control, bool enabled) {
    qtport::setEnabled(control, enabled);
}
Rect QtPlatform::controlRect(ControlRef control) {
    return qtport::controlRect(control);
}
void QtPlatform::setControlRect(ControlRef control, const Rect& rect) {
    qtport::setControlRect(control, rect);
}
Rect QtPlatform::workArea(WindowId window) {
    return qtport::workArea(window);
}

int QtPlatform::insertColumn(ControlRef list, const Text& title, int width) {
    return qtport::insertColumn(list, title, width);
}
void QtPlatform::setColumnWidth(ControlRef list, int column, int width) {
    qtport::setColumnWidth(list, column, width);
}
int QtPlatform::insertRow(ControlRef list, const Text& text) {
    return qtport::insertRow(list, text);
}
Text QtPlatform::cellText(ControlRef list, int row, int column) {
    return qtport::cellText(list, row, column);
}
void QtPlatform::deleteRow(ControlRef list, int row) {
    qtport::deleteRow(list, row);
}
void QtPlatform::setRowMark(ControlRef list, int row, RowMark mark, const Text& tooltip) {
    qtport::setRowMark(list, row, mark, tooltip);
}
void QtPlatform::showRow(ControlRef list, int row) {
    qtport::showRow(list, row);
}

int QtPlatform::selectedRow(ControlRef list) {
    return qtport::selectedRow(list);
}
void QtPlatform::setProgress(ControlRef bar, int position) {
    qtport::setProgress(bar, position);
}

void QtPlatform::processEvents() {
    qtport::processEvents();
}
void QtPlatform::waitForEvents(int maxMilliseconds) {
    qtport::waitForEvents(maxMilliseconds);
}

int QtPlatform::notifyLabel(ControlRef label, int first, int second, bool synchronous) {
    return qtport::notifyLabel(label, first, second, synchronous);
}
int QtPlatform::registerHotkey(WindowId, ControlRef label, int modifiers, int virtualKey) {
    return qtport::registerHotkey(label, modifiers, virtualKey);
}

int QtPlatform::messageBox(const Text& message, int flags, const Text& caption) {
    return qtport::messageBox(message, flags, caption);
}
bool QtPlatform::runCommandLine(const Text& commandLine) {
    return qtport::runCommandLine(commandLine);
}
bool QtPlatform::openTextFile(const Text& path) {
    return qtport::openTextFile(path);
}

void QtPlatform::setRichTextDefaultFormat(ControlRef box, const CharFormat& format) {
    qtport::setRichTextDefaultFormat(box, format);
}
void QtPlatform::insertRichTextUnicode(ControlRef box, const std::u16string& text) {
    qtport::insertRichTextUnicode(box, text);
}

void QtPlatform::navigateHtml(ControlRef view, const Text& address) {
    qtport::navigateHtml(view, address);
}
bool QtPlatform::setHtmlBody(ControlRef view, const Text& html) {
    return qtport::setHtmlBody(view, html);
}

HttpResponse QtPlatform::httpGet(const HttpRequest& request) {
    return qtport::httpGet(request);
}
int QtPlatform::sendMediaCommand(const Text& command) {
    return qtport::sendMediaCommand(command);
}
bool QtPlatform::startSound(const WavSound& sound, bool loop) {
    return qtport::startSound(sound, loop);
}
void QtPlatform::stopAllSounds() {
    qtport::stopAllSounds();
}

void QtPlatform::startBundledService(int port) {
    // The service reads its voice from the program's settings file, which
    // sits in the program folder, not necessarily beside the service.
    qtport::startBundledService(port, posix::programFolderPath() + "/vorbelzoz.ini");
}

void QtPlatform::showPageWindow(const ShapePage& page, double scale) {
    qtport::showPageWindow(page, scale);
}

Bytes QtPlatform::pagePicture(const ShapePage& page) {
    return qtport::pagePicture(page);
}
