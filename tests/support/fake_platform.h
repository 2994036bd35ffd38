// A scripted platform for the tests: a virtual clock, a script of learner
// actions delivered inside the program's waits when their time has come,
// control state built from the layout tables, and records of everything the
// program asked of the platform.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/platform.h"
#include "ui/event_wiring.h"

// Thrown by endProgram; tests catch it where the program would have ended.
struct ProgramEnded {
    int code = 0;
};

// Thrown when a test's script cannot go on: the program waits for input that
// will never come (virtual time limit), or a modal window stays open after
// the script has run out.
struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct ControlState {
    Text text;
    std::vector<Text> textHistory;  // every text the program set, in order
    bool checked = false;
    bool visible = true;
    bool enabled = true;
    Rect rect;
    // List view.
    struct Column {
        Text title;
        int width = 0;
    };
    std::vector<Column> columns;
    std::vector<Text> rows;  // column-0 texts
    int selectedRow = -1;
    std::vector<RowMark> rowMarks;  // by row, beside rows
    std::vector<Text> rowTips;
    int shownRow = -1;  // the last row the program selected and scrolled to
    // Progress bar.
    int progress = 0;
    int progressMax = 100;
    std::vector<int> progressHistory;
    // Rich-text box.
    bool hasDefaultFormat = false;
    CharFormat defaultFormat;
    std::u16string insertedUnicode;  // everything inserted, in order
    // HTML view.
    std::vector<Text> navigations;
    std::vector<Text> htmlBodies;
};

struct WindowState {
    bool open = false;
    int loadCount = 0;
    Text caption;
    std::vector<Text> captionHistory;  // every caption the program set
    int width = 0, height = 0;
    std::vector<std::pair<int, int>> sizeHistory;
    std::vector<ControlState> controls;
};

struct MessageBoxRecord {
    Text message;
    int flags = 0;
    Text caption;
    int answer = 0;
    std::int64_t atMs = 0;
};

struct MediaCommandRecord {
    Text command;
    int result = 0;
    std::int64_t atMs = 0;
};

struct SoundRecord {
    bool stopAll = false;  // a stopAllSounds call; the other fields are unused
    bool loop = false;
    WavSound sound;
    std::int64_t atMs = 0;
};

struct HttpRecord {
    HttpRequest request;
    std::int64_t atMs = 0;
};

struct WindowEventRecord {
    WindowId window;
    bool loaded = false;  // false: closed
    bool modal = false;
    std::int64_t atMs = 0;
};

struct HotkeyRecord {
    WindowId owner;
    ControlRef label;
    int modifiers = 0;
    int virtualKey = 0;
    int id = 0;
};

struct NotificationRecord {
    ControlRef label;
    int first = 0, second = 0;
    bool posted = false;
    int result = 0;  // the handler's result (synchronous ones)
};

struct KeyRecord {
    ControlRef control;
    int keyCode = 0;
    bool consumed = false;
};

class FakePlatform : public Platform {
public:
    // Installs itself as the platform; the destructor uninstalls it.
    FakePlatform();
    ~FakePlatform() override;
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    // ---- Virtual clock ----
    std::int64_t now() const { return nowMs_; }  // virtual milliseconds since the start
    // The local date-time at virtual time 0, and how far into that second it is.
    void setStartTime(const DateTime& time, int msIntoSecond = 0);
    void advance(std::int64_t ms) { nowMs_ += ms; }
    // A wait beyond this virtual time throws ScriptError (a test that would hang).
    void setTimeLimit(std::int64_t ms) { timeLimitMs_ = ms; }

    // ---- The learner's script: actions at virtual times ----
    void at(std::int64_t ms, std::function<void()> action);
    void after(std::int64_t ms, std::function<void()> action) { at(nowMs_ + ms, std::move(action)); }
    void clickAt(std::int64_t ms, ControlRef control);
    void doubleClickAt(std::int64_t ms, ControlRef control);
    void typeAt(std::int64_t ms, ControlRef control, const Text& text);
    void enterAt(std::int64_t ms, ControlRef control);
    void hotkeyAt(std::int64_t ms, int virtualKey);
    void closeAt(std::int64_t ms, WindowId window);
    void selectRowAt(std::int64_t ms, ControlRef list, int row);
    void clickRowAt(std::int64_t ms, ControlRef list, int row);
    void doubleClickRowAt(std::int64_t ms, ControlRef list, int row);
    bool scriptDone() const { return script_.empty(); }

    // ---- The same actions, now (from a test or inside a scripted callback) ----
    // Input to a closed window, to a window behind a modal one, or to a hidden
    // or disabled control is dropped and noted in droppedInput.
    void click(ControlRef control);                   // a check box toggles first
    void doubleClick(ControlRef control);             // a click, then the double-click
    void type(ControlRef control, const Text& text);  // replaces the text
    void pressEnter(ControlRef control);              // KeyDown 13, noted in keys
    void pressHotkey(int virtualKey);                 // Notify (id, 0) to the registered label
    void requestClose(WindowId window);               // the close box: CloseRequested, then the window goes
    void selectRow(ControlRef list, int row);         // keyboard selection: no event
    void clickRow(ControlRef list, int row);          // selects, then Click
    void doubleClickRow(ControlRef list, int row);    // selects, Click, DoubleClick

    // ---- Control and window state ----
    WindowState& window(WindowId id) { return windows_[static_cast<int>(id)]; }
    ControlState& control(ControlRef ref);
    Text text(ControlRef ref) { return control(ref).text; }
    bool checked(ControlRef ref) { return control(ref).checked; }
    bool visible(ControlRef ref) { return control(ref).visible; }
    bool enabled(ControlRef ref) { return control(ref).enabled; }
    // Marks a window open without creating it, for tests that drive its
    // handlers directly.
    void markOpen(WindowId id) { window(id).open = true; }
    void resetWindow(WindowId id);  // back to its designed state (closed)

    // ---- The screen ----
    // The work area both windows see, in the layout's units: room for both
    // at their designed sizes unless a test makes it smaller.
    Rect screenWorkArea{0, 0, 1920, 1040};

    // ---- Scripted answers ----
    std::vector<int> messageBoxAnswers;  // taken from the front; then OK, or Yes for Yes/No boxes
    std::map<Text, int> mediaResults;    // by command; others give defaultMediaResult
    int defaultMediaResult = 0;
    // HTTP answers by URL ("http://host[:port]" + object); others give the default.
    void setHttpResponse(const Text& url, const HttpResponse& response);
    void setHttpBody(const Text& url, const Bytes& body);           // completed, status 200
    std::function<HttpResponse(const HttpRequest&)> httpResponder;  // consulted first when set
    HttpResponse defaultHttpResponse;                               // initially a transport failure
    std::set<int> refusedHotkeys;                                   // virtual keys whose registration fails
    bool commandLineResult = true;
    bool htmlBodyResult = true;
    bool soundStartResult = true;

    // ---- Records ----
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<MediaCommandRecord> mediaCommands;
    std::vector<SoundRecord> sounds;
    std::vector<HttpRecord> httpRequests;
    std::vector<WindowEventRecord> windowEvents;
    std::vector<HotkeyRecord> hotkeys;
    std::vector<NotificationRecord> notifications;
    std::vector<Text> commandLines;
    std::vector<Text> openedTextFiles;
    std::vector<KeyRecord> keys;
    std::vector<Text> droppedInput;
    bool ended = false;
    int exitCode = -1;

    // Sound log as texts: "start <samples>" with " loop" when looping, or
    // "stop". Test sound files hold their own file name as sample data, so
    // this reads "start 开始.wav".
    std::vector<Text> soundLog() const;
    std::vector<Text> mediaCommandTexts() const;
    std::vector<Text> requestedUrls() const;
    std::vector<Text> messageTexts() const;

    // ---- Platform ----
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
    Rect workArea(WindowId) override { return screenWorkArea; }
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
    void showPageWindow(const ShapePage& page, double scale) override {
        pagesShown.push_back(page);
        pageScale = scale;
    }
    Bytes pagePicture(const ShapePage&) override { return pagePictureBytes; }

    // The page window: every page shown, and the picture it makes of one.
    std::vector<ShapePage> pagesShown;
    double pageScale = 0;
    Bytes pagePictureBytes = "\x89PNG picture";

private:
    struct Posted {
        ControlRef label;
        int first, second;
    };
    bool hasPending() const;
    bool deliverOne();  // one pending item; false when none
    void advanceToNextAction(std::int64_t limit);
    void closeNow(WindowId id);
    bool acceptsInput(ControlRef control, const char* what);
    static Text urlKey(const HttpRequest& request);

    std::int64_t nowMs_ = 0;
    std::int64_t timeLimitMs_ = 6LL * 3600 * 1000;
    DateTime startTime_{2024, 3, 1, 10, 0, 0};
    int startMs_ = 0;
    std::map<std::pair<std::int64_t, int>, std::function<void()>> script_;
    int scriptSeq_ = 0;
    std::vector<Posted> posted_;
    std::vector<WindowId> pendingCloses_;
    std::vector<WindowId> modalStack_;
    std::map<Text, HttpResponse> httpResponses_;
    int nextHotkeyId_ = 33001;
    WindowState windows_[2];
};

// Builds a RIFF/WAVE file (PCM, mono, 8 kHz, 8 bits) holding the samples.
Bytes makeWav(const Bytes& samples);
