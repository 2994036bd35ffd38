#include "fake_platform.h"

#include <algorithm>
#include <cstring>

#include "runtime/services.h"

namespace {

constexpr std::int64_t kTickBase = 5000000;

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
std::int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = static_cast<int>(y - era * 400);
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = static_cast<int>(z - era * 146097);
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp + (mp < 10 ? 3 : -9);
    y = static_cast<int>(yoe + era * 400) + (m <= 2);
}

DateTime addSeconds(const DateTime& t, std::int64_t seconds) {
    std::int64_t total =
        daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second + seconds;
    std::int64_t days = total / 86400;
    std::int64_t rest = total % 86400;
    if (rest < 0) {
        rest += 86400;
        days -= 1;
    }
    DateTime out;
    civilFromDays(days, out.year, out.month, out.day);
    out.hour = static_cast<int>(rest / 3600);
    out.minute = static_cast<int>(rest / 60 % 60);
    out.second = static_cast<int>(rest % 60);
    return out;
}

Bytes le32(std::uint32_t v) {
    Bytes b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
}

Bytes le16(std::uint16_t v) {
    Bytes b(2, '\0');
    b[0] = static_cast<char>(v & 0xFF);
    b[1] = static_cast<char>(v >> 8);
    return b;
}

const char* windowName(WindowId id) {
    return id == WindowId::Main ? "main" : "bank";
}

}  // namespace

Bytes makeWav(const Bytes& samples) {
    Bytes fmt = le16(1) + le16(1) + le32(8000) + le32(8000) + le16(1) + le16(8);
    Bytes body = "WAVE" + Bytes("fmt ") + le32(static_cast<std::uint32_t>(fmt.size())) + fmt + "data" +
                 le32(static_cast<std::uint32_t>(samples.size())) + samples;
    if (samples.size() % 2 == 1) body += '\0';
    return "RIFF" + le32(static_cast<std::uint32_t>(body.size())) + body;
}

FakePlatform::FakePlatform() {
    defaultHttpResponse.completed = false;
    resetWindow(WindowId::Main);
    resetWindow(WindowId::Bank);
    installPlatform(this);
}

FakePlatform::~FakePlatform() {
    installPlatform(nullptr);
}

void FakePlatform::setStartTime(const DateTime& time, int msIntoSecond) {
    startTime_ = time;
    startMs_ = msIntoSecond;
}

void FakePlatform::resetWindow(WindowId id) {
    const WindowSpec& spec = windowSpec(id);
    WindowState& w = window(id);
    w = WindowState();
    w.caption = spec.caption;
    w.width = spec.outerWidth;
    w.height = spec.outerHeight;
    for (const ControlSpec& c : spec.controls) {
        ControlState s;
        s.text = c.kind == ControlKind::ListView || c.kind == ControlKind::ProgressBar ? "" : c.caption;
        s.checked = c.checked;
        s.visible = c.visible;
        s.enabled = c.enabled;
        s.rect = Rect{c.left, c.top, c.width, c.height};
        s.progressMax = c.rangeMax > 0 ? c.rangeMax : 100;
        w.controls.push_back(s);
    }
}

ControlState& FakePlatform::control(ControlRef ref) {
    WindowState& w = window(ref.window);
    if (ref.index < 0 || ref.index >= static_cast<int>(w.controls.size()))
        throw ScriptError("no such control " + std::to_string(ref.index) + " in the " +
                          windowName(ref.window) + " window");
    return w.controls[ref.index];
}

// ---- Script ----

void FakePlatform::at(std::int64_t ms, std::function<void()> action) {
    script_.emplace(std::make_pair(ms, scriptSeq_++), std::move(action));
}

void FakePlatform::clickAt(std::int64_t ms, ControlRef c) {
    at(ms, [this, c] { click(c); });
}
void FakePlatform::doubleClickAt(std::int64_t ms, ControlRef c) {
    at(ms, [this, c] { doubleClick(c); });
}
void FakePlatform::typeAt(std::int64_t ms, ControlRef c, const Text& text) {
    at(ms, [this, c, text] { type(c, text); });
}
void FakePlatform::enterAt(std::int64_t ms, ControlRef c) {
    at(ms, [this, c] { pressEnter(c); });
}
void FakePlatform::hotkeyAt(std::int64_t ms, int virtualKey) {
    at(ms, [this, virtualKey] { pressHotkey(virtualKey); });
}
void FakePlatform::closeAt(std::int64_t ms, WindowId id) {
    at(ms, [this, id] { requestClose(id); });
}
void FakePlatform::selectRowAt(std::int64_t ms, ControlRef list, int row) {
    at(ms, [this, list, row] { selectRow(list, row); });
}
void FakePlatform::clickRowAt(std::int64_t ms, ControlRef list, int row) {
    at(ms, [this, list, row] { clickRow(list, row); });
}
void FakePlatform::doubleClickRowAt(std::int64_t ms, ControlRef list, int row) {
    at(ms, [this, list, row] { doubleClickRow(list, row); });
}

// ---- Learner actions ----

bool FakePlatform::acceptsInput(ControlRef c, const char* what) {
    const WindowState& w = window(c.window);
    const ControlState& s = control(c);
    const char* why = nullptr;
    if (!w.open)
        why = "window not open";
    else if (!modalStack_.empty() && modalStack_.back() != c.window)
        why = "behind a modal window";
    else if (!s.visible)
        why = "hidden";
    else if (!s.enabled)
        why = "disabled";
    if (!why) return true;
    droppedInput.push_back(Text(what) + " " + windowName(c.window) + "#" + std::to_string(c.index) + ": " +
                           why);
    return false;
}

void FakePlatform::click(ControlRef c) {
    if (!acceptsInput(c, "click")) return;
    if (windowSpec(c.window).controls[c.index].kind == ControlKind::CheckBox) {
        control(c).checked = !control(c).checked;
    }
    dispatchEvent(c.window, c.index, EventKind::Click);
}

void FakePlatform::doubleClick(ControlRef c) {
    click(c);
    if (!acceptsInput(c, "double-click")) return;
    dispatchEvent(c.window, c.index, EventKind::DoubleClick);
}

void FakePlatform::type(ControlRef c, const Text& text) {
    if (!acceptsInput(c, "type")) return;
    control(c).text = text;
}

void FakePlatform::pressEnter(ControlRef c) {
    if (!acceptsInput(c, "enter")) return;
    int result = dispatchEvent(c.window, c.index, EventKind::KeyDown, EventArgs{13, 0});
    keys.push_back(KeyRecord{c, 13, result != 0});
}

void FakePlatform::pressHotkey(int virtualKey) {
    // The label of the most recent registration receives every hotkey.
    const HotkeyRecord* pressed = nullptr;
    for (const HotkeyRecord& h : hotkeys)
        if (h.virtualKey == virtualKey) pressed = &h;
    if (!pressed) {
        droppedInput.push_back("hotkey " + std::to_string(virtualKey) + ": not registered");
        return;
    }
    ControlRef label = hotkeys.back().label;
    int id = pressed->id;
    int result = dispatchEvent(label.window, label.index, EventKind::Notify, EventArgs{id, 0});
    notifications.push_back(NotificationRecord{label, id, 0, false, result});
}

void FakePlatform::requestClose(WindowId id) {
    WindowState& w = window(id);
    if (!w.open || (!modalStack_.empty() && modalStack_.back() != id)) {
        droppedInput.push_back(Text("close ") + windowName(id) + ": not available");
        return;
    }
    dispatchEvent(id, -1, EventKind::CloseRequested);
    if (w.open) closeNow(id);
}

void FakePlatform::selectRow(ControlRef list, int row) {
    if (!acceptsInput(list, "select")) return;
    ControlState& s = control(list);
    s.selectedRow = row >= 0 && row < static_cast<int>(s.rows.size()) ? row : -1;
}

void FakePlatform::clickRow(ControlRef list, int row) {
    if (!acceptsInput(list, "click row")) return;
    ControlState& s = control(list);
    // A click below the last row keeps the selection as it is.
    if (row >= 0 && row < static_cast<int>(s.rows.size())) s.selectedRow = row;
    dispatchEvent(list.window, list.index, EventKind::Click);
}

void FakePlatform::doubleClickRow(ControlRef list, int row) {
    clickRow(list, row);
    if (!acceptsInput(list, "double-click row")) return;
    dispatchEvent(list.window, list.index, EventKind::DoubleClick);
}

// ---- Records read as texts ----

std::vector<Text> FakePlatform::soundLog() const {
    std::vector<Text> out;
    for (const SoundRecord& s : sounds) {
        if (s.stopAll)
            out.push_back("stop");
        else
            out.push_back("start " + s.sound.samples + (s.loop ? " loop" : ""));
    }
    return out;
}

std::vector<Text> FakePlatform::mediaCommandTexts() const {
    std::vector<Text> out;
    for (const MediaCommandRecord& m : mediaCommands) out.push_back(m.command);
    return out;
}

std::vector<Text> FakePlatform::requestedUrls() const {
    std::vector<Text> out;
    for (const HttpRecord& r : httpRequests) out.push_back(urlKey(r.request));
    return out;
}

std::vector<Text> FakePlatform::messageTexts() const {
    std::vector<Text> out;
    for (const MessageBoxRecord& m : messageBoxes) out.push_back(m.message);
    return out;
}

// ---- Clock ----

std::int64_t FakePlatform::tickCount() {
    return kTickBase + nowMs_;
}

DateTime FakePlatform::localTime() {
    return addSeconds(startTime_, (startMs_ + nowMs_) / 1000);
}

// The virtual clock's zone is UTC: local time and UTC agree.
std::int64_t FakePlatform::utcMilliseconds() {
    const DateTime& t = startTime_;
    std::int64_t seconds =
        daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
    return seconds * 1000 + startMs_ + nowMs_;
}

// ---- Event delivery ----

bool FakePlatform::hasPending() const {
    return !posted_.empty() || !pendingCloses_.empty() ||
           (!script_.empty() && script_.begin()->first.first <= nowMs_);
}

bool FakePlatform::deliverOne() {
    if (!posted_.empty()) {
        Posted p = posted_.front();
        posted_.erase(posted_.begin());
        if (window(p.label.window).open) {
            int result =
                dispatchEvent(p.label.window, p.label.index, EventKind::Notify, EventArgs{p.first, p.second});
            notifications.push_back(NotificationRecord{p.label, p.first, p.second, true, result});
        }
        return true;
    }
    if (!pendingCloses_.empty()) {
        WindowId id = pendingCloses_.front();
        pendingCloses_.erase(pendingCloses_.begin());
        if (window(id).open) closeNow(id);
        return true;
    }
    if (!script_.empty() && script_.begin()->first.first <= nowMs_) {
        std::function<void()> action = std::move(script_.begin()->second);
        script_.erase(script_.begin());
        action();
        return true;
    }
    return false;
}

void FakePlatform::processEvents() {
    while (deliverOne()) {
    }
}

void FakePlatform::advanceToNextAction(std::int64_t limit) {
    std::int64_t target = limit;
    if (!script_.empty()) target = std::min(target, std::max(nowMs_, script_.begin()->first.first));
    nowMs_ = std::max(nowMs_, target);
    if (nowMs_ > timeLimitMs_)
        throw ScriptError("virtual time limit reached at " + std::to_string(nowMs_) +
                          " ms: the program waits for input");
}

void FakePlatform::waitForEvents(int maxMilliseconds) {
    if (hasPending()) return;
    advanceToNextAction(nowMs_ + std::max(0, maxMilliseconds));
}

void FakePlatform::closeNow(WindowId id) {
    WindowState& w = window(id);
    w.open = false;
    windowEvents.push_back(WindowEventRecord{id, false, false, nowMs_});
    dispatchEvent(id, -1, EventKind::Destroyed);
}

// ---- Windows ----

bool FakePlatform::loadWindow(WindowId id, bool modal) {
    resetWindow(id);
    WindowState& w = window(id);
    w.open = true;
    w.loadCount += 1;
    windowEvents.push_back(WindowEventRecord{id, true, modal, nowMs_});
    if (!modal) {
        dispatchEvent(id, -1, EventKind::Created);
        return true;
    }
    // The modal loop also ends when the program ends inside it.
    struct ModalScope {
        std::vector<WindowId>& stack;
        ~ModalScope() { stack.pop_back(); }
    } scope{modalStack_};
    modalStack_.push_back(id);
    dispatchEvent(id, -1, EventKind::Created);
    while (w.open) {
        processEvents();
        if (!w.open) break;
        if (script_.empty())
            throw ScriptError(Text("the modal ") + windowName(id) +
                              " window is still open and the script is done");
        advanceToNextAction(script_.begin()->first.first);
    }
    return true;
}

void FakePlatform::closeWindow(WindowId id) {
    pendingCloses_.push_back(id);
}

Text FakePlatform::windowCaption(WindowId id) {
    return window(id).caption;
}

void FakePlatform::setWindowCaption(WindowId id, const Text& caption) {
    window(id).caption = caption;
    window(id).captionHistory.push_back(caption);
}

void FakePlatform::setWindowSize(WindowId id, int outerWidth, int outerHeight) {
    WindowState& w = window(id);
    w.width = outerWidth;
    w.height = outerHeight;
    w.sizeHistory.emplace_back(outerWidth, outerHeight);
}

int FakePlatform::runMessageLoop() {
    for (;;) {
        processEvents();
        if (script_.empty()) return 0;
        advanceToNextAction(script_.begin()->first.first);
    }
}

void FakePlatform::endProgram(int code) {
    ended = true;
    exitCode = code;
    runCleanup();
    throw ProgramEnded{code};
}

// ---- Controls ----

Text FakePlatform::controlText(ControlRef c) {
    return control(c).text;
}

void FakePlatform::setControlText(ControlRef c, const Text& text) {
    control(c).text = text;
    control(c).textHistory.push_back(text);
}

bool FakePlatform::isChecked(ControlRef c) {
    return control(c).checked;
}
void FakePlatform::setVisible(ControlRef c, bool visible) {
    control(c).visible = visible;
}
void FakePlatform::setEnabled(ControlRef c, bool enabled) {
    control(c).enabled = enabled;
}
Rect FakePlatform::controlRect(ControlRef c) {
    return control(c).rect;
}
void FakePlatform::setControlRect(ControlRef c, const Rect& rect) {
    control(c).rect = rect;
}

int FakePlatform::insertColumn(ControlRef list, const Text& title, int width) {
    ControlState& s = control(list);
    s.columns.push_back(ControlState::Column{title, width});
    return static_cast<int>(s.columns.size()) - 1;
}

void FakePlatform::setColumnWidth(ControlRef list, int column, int width) {
    ControlState& s = control(list);
    if (column >= 0 && column < static_cast<int>(s.columns.size())) s.columns[column].width = width;
}

int FakePlatform::insertRow(ControlRef list, const Text& text) {
    ControlState& s = control(list);
    s.rows.push_back(text);
    s.rowMarks.push_back(RowMark::None);
    s.rowTips.emplace_back();
    return static_cast<int>(s.rows.size()) - 1;
}

Text FakePlatform::cellText(ControlRef list, int row, int column) {
    ControlState& s = control(list);
    if (row < 0 || row >= static_cast<int>(s.rows.size()) || column != 0) return Text();
    return s.rows[row];
}

void FakePlatform::deleteRow(ControlRef list, int row) {
    ControlState& s = control(list);
    if (row < 0 || row >= static_cast<int>(s.rows.size())) return;
    s.rows.erase(s.rows.begin() + row);
    s.rowMarks.erase(s.rowMarks.begin() + row);
    s.rowTips.erase(s.rowTips.begin() + row);
    if (s.selectedRow == row)
        s.selectedRow = -1;
    else if (s.selectedRow > row)
        s.selectedRow -= 1;
}

int FakePlatform::selectedRow(ControlRef list) {
    return control(list).selectedRow;
}

void FakePlatform::setRowMark(ControlRef list, int row, RowMark mark, const Text& tooltip) {
    ControlState& s = control(list);
    if (row < 0 || row >= static_cast<int>(s.rows.size())) return;
    s.rowMarks[row] = mark;
    s.rowTips[row] = tooltip;
}

void FakePlatform::showRow(ControlRef list, int row) {
    ControlState& s = control(list);
    if (row < 0 || row >= static_cast<int>(s.rows.size())) return;
    s.selectedRow = row;
    s.shownRow = row;
}

void FakePlatform::setProgress(ControlRef bar, int position) {
    ControlState& s = control(bar);
    s.progress = std::clamp(position, 0, s.progressMax);
    s.progressHistory.push_back(s.progress);
}

// ---- Notifications and hotkeys ----

int FakePlatform::notifyLabel(ControlRef label, int first, int second, bool synchronous) {
    if (!synchronous) {
        posted_.push_back(Posted{label, first, second});
        return 0;
    }
    int result = dispatchEvent(label.window, label.index, EventKind::Notify, EventArgs{first, second});
    notifications.push_back(NotificationRecord{label, first, second, false, result});
    return result;
}

int FakePlatform::registerHotkey(WindowId owner, ControlRef label, int modifiers, int virtualKey) {
    if (refusedHotkeys.count(virtualKey)) return 0;
    int id = nextHotkeyId_++;
    hotkeys.push_back(HotkeyRecord{owner, label, modifiers, virtualKey, id});
    return id;
}

// ---- Dialogs and processes ----

int FakePlatform::messageBox(const Text& message, int flags, const Text& caption) {
    int answer = flags == kMbYesNo ? kIdYes : kIdOk;
    if (!messageBoxAnswers.empty()) {
        answer = messageBoxAnswers.front();
        messageBoxAnswers.erase(messageBoxAnswers.begin());
    }
    messageBoxes.push_back(MessageBoxRecord{message, flags, caption, answer, nowMs_});
    return answer;
}

bool FakePlatform::runCommandLine(const Text& commandLine) {
    commandLines.push_back(commandLine);
    return commandLineResult;
}

bool FakePlatform::openTextFile(const Text& path) {
    openedTextFiles.push_back(path);
    return true;
}

// ---- Rich text and HTML ----

void FakePlatform::setRichTextDefaultFormat(ControlRef box, const CharFormat& format) {
    control(box).hasDefaultFormat = true;
    control(box).defaultFormat = format;
}

void FakePlatform::insertRichTextUnicode(ControlRef box, const std::u16string& text) {
    control(box).insertedUnicode += text;
}

void FakePlatform::navigateHtml(ControlRef view, const Text& address) {
    control(view).navigations.push_back(address);
}

bool FakePlatform::setHtmlBody(ControlRef view, const Text& html) {
    if (!htmlBodyResult) return false;
    control(view).htmlBodies.push_back(html);
    return true;
}

// ---- Network, media, sound ----

Text FakePlatform::urlKey(const HttpRequest& r) {
    Text key = r.secure ? "https://" : "http://";
    key += r.host;
    if (r.port != (r.secure ? 443 : 80)) key += ":" + std::to_string(r.port);
    return key + r.object;
}

void FakePlatform::setHttpResponse(const Text& url, const HttpResponse& response) {
    httpResponses_[url] = response;
}

void FakePlatform::setHttpBody(const Text& url, const Bytes& body) {
    HttpResponse r;
    r.completed = true;
    r.status = 200;
    r.body = body;
    setHttpResponse(url, r);
}

HttpResponse FakePlatform::httpGet(const HttpRequest& request) {
    httpRequests.push_back(HttpRecord{request, nowMs_});
    if (httpResponder) return httpResponder(request);
    auto found = httpResponses_.find(urlKey(request));
    if (found != httpResponses_.end()) return found->second;
    return defaultHttpResponse;
}

int FakePlatform::sendMediaCommand(const Text& command) {
    auto found = mediaResults.find(command);
    int result = found != mediaResults.end() ? found->second : defaultMediaResult;
    mediaCommands.push_back(MediaCommandRecord{command, result, nowMs_});
    return result;
}

bool FakePlatform::startSound(const WavSound& sound, bool loop) {
    sounds.push_back(SoundRecord{false, loop, sound, nowMs_});
    return soundStartResult;
}

void FakePlatform::stopAllSounds() {
    sounds.push_back(SoundRecord{true, false, WavSound(), nowMs_});
}
