// The platform port: everything the program logic asks of the operating
// system beyond plain files. The core talks only to this interface; each
// backend (runtime/win32, runtime/qt, and the tests' fake) implements it.
// All texts are GBK program texts; backends convert at their edge.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/bytes.h"
#include "runtime/clock.h"
#include "runtime/shape_page.h"
#include "runtime/text.h"
#include "ui/layout.h"

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

// A rich-text box's default character format.
struct CharFormat {
    Text faceName;
    int size = 9;                       // points
    int offset = 0;                     // points, positive raises
    int effects = 0;                    // bit 0 bold, 1 italic, 2 underline, 3 strike-out, 4 protected
    std::uint32_t colour = 0xFF000000;  // 0x00BBGGRR; 0xFF000000 = automatic
};

struct HttpRequest {
    bool secure = false;  // https
    Text host;
    int port = 80;
    Text user, password;
    Text object;  // path with query, sent raw as the request target
    Text verb = "GET";
    Text version = "HTTP/1.0";
    Text userAgent;
    Text headers;  // extra header text, e.g. "Accept: */*\r\n\r\n"
    // The whole request (connect, redirects and body together) ends by then;
    // a request that runs past it fails.
    int timeoutMs = 30000;
    // A body longer than this fails the request; a server decides neither
    // how long the GUI waits nor how much memory the program takes.
    std::int64_t maxBodyBytes = 8 * 1024 * 1024;
};

// Only http and https are spoken, on the first request and on each of at
// most 5 redirects. A request that breaks a limit (time, size, protocol,
// redirects) fails with an empty body.
struct HttpResponse {
    bool completed = false;  // transport finished without error
    int status = 0;          // HTTP status code, 0 when none arrived
    Bytes body;              // what was read, also when the connection broke off
};

// A decoded RIFF WAVE "fmt " chunk with its sample data.
struct WavSound {
    int formatTag = 1;  // 1 = PCM
    int channels = 0;
    int samplesPerSecond = 0;
    int bitsPerSample = 0;
    int blockAlign = 0;
    Bytes samples;  // the "data" chunk
};

// How far the learner has come with a bank, shown as a small icon at the
// start of its row in the bank list. The row's text is never changed.
enum class RowMark { None = 0, NotPractised = 1, Practised = 2, Mastered = 3 };

enum MessageBoxFlags { kMbOk = 0, kMbYesNo = 4 };
enum MessageBoxResult {
    kIdOk = 0,
    kIdCancel = 1,
    kIdAbort = 2,
    kIdRetry = 3,
    kIdIgnore = 4,
    kIdYes = 5,
    kIdNo = 6
};

class Platform {
public:
    virtual ~Platform() = default;

    // Clock.
    virtual std::int64_t tickCount() = 0;  // milliseconds, monotonic
    virtual DateTime localTime() = 0;
    // Wall-clock time in UTC, milliseconds since 1970-01-01.
    virtual std::int64_t utcMilliseconds() = 0;

    // Windows. loadWindow builds the window from its layout table, raises its
    // Created event, shows it centred; modal: returns once it is closed.
    virtual bool loadWindow(WindowId window, bool modal) = 0;
    // Asks the window to close after the current handler returns; raises no
    // CloseRequested event.
    virtual void closeWindow(WindowId window) = 0;
    virtual Text windowCaption(WindowId window) = 0;
    virtual void setWindowCaption(WindowId window, const Text& caption) = 0;
    // Keeps the window inside the work area of its screen: a window that
    // grows across the right or bottom edge moves back as far as needed.
    virtual void setWindowSize(WindowId window, int outerWidth, int outerHeight) = 0;
    // The work area (the screen less task bars) of the monitor the window is
    // on, in the layout's 96-DPI units: width and height are the largest
    // outer size a window may be given there. A backend that cannot tell
    // answers with room for everything.
    virtual Rect workArea(WindowId window) {
        (void)window;
        return Rect{0, 0, 1 << 20, 1 << 20};
    }
    // Runs the message loop until the program ends; returns the exit code.
    virtual int runMessageLoop() = 0;
    // Runs the registered clean-up, then ends the process. Never returns.
    [[noreturn]] virtual void endProgram(int exitCode) = 0;

    // Controls.
    virtual Text controlText(ControlRef control) = 0;  // caption or edit text
    virtual void setControlText(ControlRef control, const Text& text) = 0;
    virtual bool isChecked(ControlRef control) = 0;
    virtual void setVisible(ControlRef control, bool visible) = 0;
    virtual void setEnabled(ControlRef control, bool enabled) = 0;
    virtual Rect controlRect(ControlRef control) = 0;
    // Moves and resizes a control, in the same units as controlRect.
    virtual void setControlRect(ControlRef control, const Rect& rect) = 0;

    // List view (report mode); rows and columns from 0.
    virtual int insertColumn(ControlRef list, const Text& title, int width) = 0;
    virtual void setColumnWidth(ControlRef list, int column, int width) = 0;
    virtual int insertRow(ControlRef list, const Text& text) = 0;     // appended
    virtual Text cellText(ControlRef list, int row, int column) = 0;  // empty for no such row
    virtual void deleteRow(ControlRef list, int row) = 0;
    virtual int selectedRow(ControlRef list) = 0;                // -1 when none
    virtual void setProgress(ControlRef bar, int position) = 0;  // clamped to the range
    // A row's mark icon and the tooltip shown when the pointer rests on it
    // (the empty text: no tooltip).
    virtual void setRowMark(ControlRef list, int row, RowMark mark, const Text& tooltip) = 0;
    // Selects the row and scrolls it into view; raises no event.
    virtual void showRow(ControlRef list, int row) = 0;

    // Events: waits and nested event handling.
    virtual void processEvents() = 0;                     // handle what is pending, then return
    virtual void waitForEvents(int maxMilliseconds) = 0;  // block until an event or the time is up

    // Notifications to a label: synchronous runs its Notify handler now;
    // posted queues it for the next event handling and returns 0.
    virtual int notifyLabel(ControlRef label, int first, int second, bool synchronous) = 0;
    // System-wide hotkey; ids are handed out from 33001 in registration order;
    // a press raises the label's Notify event with (id, 0). 0 on failure.
    virtual int registerHotkey(WindowId owner, ControlRef label, int modifiers, int virtualKey) = 0;

    // Dialogs and processes.
    virtual int messageBox(const Text& message, int flags, const Text& caption) = 0;
    virtual bool runCommandLine(const Text& commandLine) = 0;
    // Shows a text file in the system's text viewer, whatever its name says:
    // the file is only ever read as text, never started as a program.
    virtual bool openTextFile(const Text& path) = 0;

    // Rich-text box: default character format, and Unicode text inserted at
    // the caret (replacing the selection) without touching the clipboard.
    virtual void setRichTextDefaultFormat(ControlRef box, const CharFormat& format) = 0;
    virtual void insertRichTextUnicode(ControlRef box, const std::u16string& text) = 0;

    // HTML view.
    virtual void navigateHtml(ControlRef view, const Text& address) = 0;
    virtual bool setHtmlBody(ControlRef view, const Text& html) = 0;  // false when refused

    // Network, media commands, sound effects.
    virtual HttpResponse httpGet(const HttpRequest& request) = 0;
    virtual int sendMediaCommand(const Text& command) = 0;  // 0 on success, else an error code
    virtual bool startSound(const WavSound& sound, bool loop) = 0;
    virtual void stopAllSounds() = 0;

    // The offline service shipped beside the program: started when nothing
    // answers on 127.0.0.1:port, and ended together with the program.
    // Backends that ship no such service do nothing.
    virtual void startBundledService(int port) { (void)port; }

    // A window showing a page of shapes (the statistics): opened, or brought
    // to the front and redrawn when it is open. A click on one of the page's
    // buttons, or Ctrl with its shortcut, runs onStatisticsCommand. The window
    // opens on the bank window's screen, drawn at scale times the DPI's size
    // (below 1 where the page would not fit that screen's work area).
    // Backends without such a window do nothing.
    virtual void showPageWindow(const ShapePage& page, double scale) {
        (void)page;
        (void)scale;
    }
    // The page drawn at the screen's DPI, as the bytes of a PNG file, buttons
    // left out; empty when it could not be made.
    virtual Bytes pagePicture(const ShapePage& page) {
        (void)page;
        return Bytes();
    }
};

void installPlatform(Platform* platform);
Platform& platform();
bool hasPlatform();
