// A platform that does nothing, for benchmarks of code that reaches the port
// (listing banks posts progress notifications).
#pragma once

#include <cstdlib>

#include "runtime/platform.h"

class NullPlatform : public Platform {
public:
    NullPlatform() { installPlatform(this); }
    ~NullPlatform() override { installPlatform(nullptr); }

    std::int64_t tickCount() override { return 0; }
    DateTime localTime() override { return DateTime{}; }
    std::int64_t utcMilliseconds() override { return 0; }
    bool loadWindow(WindowId, bool) override { return true; }
    void closeWindow(WindowId) override {}
    Text windowCaption(WindowId) override { return Text(); }
    void setWindowCaption(WindowId, const Text&) override {}
    void setWindowSize(WindowId, int, int) override {}
    int runMessageLoop() override { return 0; }
    [[noreturn]] void endProgram(int exitCode) override { std::exit(exitCode); }
    Text controlText(ControlRef) override { return Text(); }
    void setControlText(ControlRef, const Text&) override {}
    bool isChecked(ControlRef) override { return false; }
    void setVisible(ControlRef, bool) override {}
    void setEnabled(ControlRef, bool) override {}
    Rect controlRect(ControlRef) override { return Rect{}; }
    void setControlRect(ControlRef, const Rect&) override {}
    int insertColumn(ControlRef, const Text&, int) override { return 0; }
    void setColumnWidth(ControlRef, int, int) override {}
    int insertRow(ControlRef, const Text&) override { return 0; }
    Text cellText(ControlRef, int, int) override { return Text(); }
    void deleteRow(ControlRef, int) override {}
    int selectedRow(ControlRef) override { return -1; }
    void setProgress(ControlRef, int) override {}
    void setRowMark(ControlRef, int, RowMark, const Text&) override {}
    void showRow(ControlRef, int) override {}
    void processEvents() override {}
    void waitForEvents(int) override {}
    int notifyLabel(ControlRef, int, int, bool) override { return 0; }
    int registerHotkey(WindowId, ControlRef, int, int) override { return 0; }
    int messageBox(const Text&, int, const Text&) override { return kIdOk; }
    bool runCommandLine(const Text&) override { return false; }
    bool openTextFile(const Text&) override { return false; }
    void setRichTextDefaultFormat(ControlRef, const CharFormat&) override {}
    void insertRichTextUnicode(ControlRef, const std::u16string&) override {}
    void navigateHtml(ControlRef, const Text&) override {}
    bool setHtmlBody(ControlRef, const Text&) override { return false; }
    HttpResponse httpGet(const HttpRequest&) override { return HttpResponse{}; }
    int sendMediaCommand(const Text&) override { return 0; }
    bool startSound(const WavSound&, bool) override { return false; }
    void stopAllSounds() override {}
};
