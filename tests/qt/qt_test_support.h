// Helpers for the Qt backend tests: program texts from UTF-16 literals,
// event-loop waits, scripted steps that run inside modal loops and the quiz
// driver's waits, and the local dictionary server.
#pragma once

#include <QIcon>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTimer>
#include <QTreeView>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/text.h"
#include "ui/layout.h"

class QWidget;

// A program text (GBK) from a UTF-16 literal.
Text gbk(std::u16string_view text);
QWidget* widgetOf(ControlRef control);

// Handles events until the condition holds; false after the time-out.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

// Steps run from a timer, each once its condition holds, in order. They keep
// running inside nested event loops (a modal window, the quiz driver's
// waits), which is where the tests need them.
class ScriptedSteps {
public:
    explicit ScriptedSteps(int timeoutMs = 30000);
    ~ScriptedSteps();
    ScriptedSteps& then(std::function<bool()> ready, std::function<void()> act);
    bool finished() const { return steps_.empty(); }
    bool timedOut() const { return timedOut_; }

private:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };
    void tick();
    std::deque<Step> steps_;
    QTimer timer_;
    qint64 deadline_;
    bool timedOut_ = false;
};

// The end-to-end dictionary and speech server on a free local port.
class DictServer {
public:
    explicit DictServer(const QString& logPath);
    ~DictServer();
    int port() const { return port_; }
    std::vector<QJsonObject> requests() const;  // one per request, in order

private:
    QProcess process_;
    QString logPath_;
    int port_ = 0;
};

// The word-bank window is open and its list filled.
bool bankWindowShown();
// A click (or double-click) on a row of the bank list.
void clickBankRow(int row, bool twice);
int bankRowOf(const QString& name);  // -1 when not listed
// The bank list as the learner sees it: rows, their text, mark and tip, and
// whether a row lies wholly in the list's visible part.
QTreeView* bankList();
int bankRowCount();
QString bankRowText(int row);
QIcon bankRowIcon(int row);
QString bankRowTip(int row);
bool bankRowInView(int row);

// Closes the application-modal message box shown now with the given button
// text; returns its message, empty when none is shown.
QString answerMessageBox(const QString& buttonText = QString());
