// The port on the Win32 API: each group of operations is served by the file
// of its concern (windows, controls, message loop, dialogs, hotkeys,
// notifications, rich text, HTML view, HTTP, media commands, sound).
#pragma once

#include "runtime/platform.h"

class Win32Platform : public Platform {
public:
    std::int64_t tickCount() override;
    DateTime localTime() override;
    std::int64_t utcMilliseconds() override;

    bool loadWindow(WindowId window, bool modal) override;
    void closeWindow(WindowId window) override;
    Text windowCaption(WindowId window) override;
    void setWindowCaption(WindowId window, const Text& caption) override;
    void setWindowSize(WindowId window, int outerWidth, int outerHeight) override;
    int runMessageLoop() override;
    [[noreturn]] void endProgram(int exitCode) override;

    Text controlText(ControlRef control) override;
    void setControlText(ControlRef control, const Text& text) override;
    bool isChecked(ControlRef control) override;
    void setVisible(ControlRef control, bool visible) override;
    void setEnabled(ControlRef control, bool enabled) override;
    Rect controlRect(ControlRef control) override;
    void setControlRect(ControlRef control, const Rect& rect) override;
    Rect workArea(WindowId window) override;

    int insertColumn(ControlRef list, const Text& title, int width) override;
    void setColumnWidth(ControlRef list, int column, int width) override;
    int insertRow(ControlRef list, const Text& text) override;
    Text cellText(ControlRef list, int row, int column) override;
    void deleteRow(ControlRef list, int row) override;
    int selectedRow(ControlRef list) override;
    void setProgress(ControlRef bar, int position) override;
    void setRowMark(ControlRef list, int row, RowMark mark, const Text& tooltip) override;
    void showRow(ControlRef list, int row) override;

    void processEvents() override;
    void waitForEvents(int maxMilliseconds) override;

    int notifyLabel(ControlRef label, int first, int second, bool synchronous) override;
    int registerHotkey(WindowId owner, ControlRef label, int modifiers, int virtualKey) override;

    int messageBox(const Text& message, int flags, const Text& caption) override;
    bool runCommandLine(const Text& commandLine) override;
    bool openTextFile(const Text& path) override;

    void setRichTextDefaultFormat(ControlRef box, const CharFormat& format) override;
    void insertRichTextUnicode(ControlRef box, const std::u16string& text) override;

    void navigateHtml(ControlRef view, const Text& address) override;
    bool setHtmlBody(ControlRef view, const Text& html) override;

    HttpResponse httpGet(const HttpRequest& request) override;
    int sendMediaCommand(const Text& command) override;
    bool startSound(const WavSound& sound, bool loop) override;
    void stopAllSounds() override;

    void startBundledService(int port) override;

    void showPageWindow(const ShapePage& page, double scale) override;
    Bytes pagePicture(const ShapePage& page) override;
};
