#include "qt_test_support.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QMessageBox>
#include <QTest>
#include <QThread>
#include <QTreeView>
#include <csignal>

#include "app/quiz_state.h"
#include "runtime/codepage.h"
#include "runtime/qt/windows.h"
#include "ui/bank_window_layout.h"

Text gbk(std::u16string_view text) {
    return utf16ToGbk(std::u16string(text));
}

QWidget* widgetOf(ControlRef control) {
    return qtport::controlWidget(control);
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    qint64 deadline = QDateTime::currentMSecsSinceEpoch() + timeoutMs;
    while (!condition()) {
        if (QDateTime::currentMSecsSinceEpoch() > deadline) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

ScriptedSteps::ScriptedSteps(int timeoutMs) : deadline_(QDateTime::currentMSecsSinceEpoch() + timeoutMs) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    timer_.start();
}

ScriptedSteps::~ScriptedSteps() {
    timer_.stop();
}

ScriptedSteps& ScriptedSteps::then(std::function<bool()> ready, std::function<void()> act) {
    steps_.push_back(Step{std::move(ready), std::move(act)});
    return *this;
}

void ScriptedSteps::tick() {
    if (steps_.empty()) return;
    if (QDateTime::currentMSecsSinceEpoch() > deadline_) {
        // Unblock whatever waits for the steps so the test can fail cleanly.
        timedOut_ = true;
        steps_.clear();
        stopRequested = 1;
        answerMessageBox();
        if (qtport::windowFrame(WindowId::Bank) != nullptr) qtport::closeWindow(WindowId::Bank);
        return;
    }
    if (!steps_.front().ready()) return;
    // Taken off before acting: an act may run nested loops that tick again.
    Step step = std::move(steps_.front());
    steps_.pop_front();
    step.act();
}

namespace {

// A port that was free a moment ago.
int freePort() {
    int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return ntohs(address.sin_port);
}

bool accepting(int port) {
    int client = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    bool connected = ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(client);
    return connected;
}

}  // namespace

DictServer::DictServer(const QString& logPath) : logPath_(logPath) {
    // The server is known to be up once it accepts a connection (it logs
    // nothing for one that sends no request).
    int port = freePort();
    QString script = QStringLiteral(VORBELZOZ_SOURCE_DIR) + QStringLiteral("/tests/e2e/dict_server.py");
    process_.setStandardOutputFile(QProcess::nullDevice());
    // The server goes with the test process, however that ends (a death
    // test's child ends at once, and must not leave it holding its pipe).
    process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process_.start(QStringLiteral("python3"), {script, QStringLiteral("--port"), QString::number(port),
                                               QStringLiteral("--log"), logPath});
    if (!process_.waitForStarted(10000)) return;
    if (waitUntil([port] { return accepting(port); }, 10000)) port_ = port;
}

DictServer::~DictServer() {
    process_.kill();
    process_.waitForFinished(5000);
}

std::vector<QJsonObject> DictServer::requests() const {
    std::vector<QJsonObject> entries;
    QFile log(logPath_);
    if (!log.open(QIODevice::ReadOnly)) return entries;
    for (const QByteArray& line : log.readAll().split('\n')) {
        if (!line.trimmed().isEmpty()) entries.push_back(QJsonDocument::fromJson(line).object());
    }
    return entries;
}

QString answerMessageBox(const QString& buttonText) {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return QString();
    QString message = box->text();
    for (QAbstractButton* button : box->buttons()) {
        if (buttonText.isEmpty() || button->text().remove(u'&') == buttonText) {
            button->click();
            return message;
        }
    }
    return message;
}

QTreeView* bankList() {
    return qobject_cast<QTreeView*>(widgetOf(bankWindow::ctl(bankWindow::超级列表框1)));
}

int bankRowCount() {
    return bankList()->model()->rowCount();
}

namespace {

QVariant bankCell(int row, int role) {
    return bankList()->model()->index(row, 0).data(role);
}

}  // namespace

QString bankRowText(int row) {
    return bankCell(row, Qt::DisplayRole).toString();
}

QIcon bankRowIcon(int row) {
    return bankCell(row, Qt::DecorationRole).value<QIcon>();
}

QString bankRowTip(int row) {
    return bankCell(row, Qt::ToolTipRole).toString();
}

bool bankRowInView(int row) {
    QTreeView* list = bankList();
    QRect rect = list->visualRect(list->model()->index(row, 0));
    return rect.isValid() && rect.top() >= 0 && rect.bottom() < list->viewport()->height();
}

bool bankWindowShown() {
    QWidget* frame = qtport::windowFrame(WindowId::Bank);
    return frame != nullptr && frame->isVisible() && bankRowCount() > 0;
}

void clickBankRow(int row, bool twice) {
    QTreeView* list = bankList();
    QRect rect = list->visualRect(list->model()->index(row, 0));
    QPoint at(rect.left() + 20, rect.center().y());  // the column is wider than the list
    // Press and release, then for a double-click the double-click event that
    // the second press turns into.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

int bankRowOf(const QString& name) {
    for (int row = 0; row < bankRowCount(); ++row) {
        if (bankRowText(row) == name) return row;
    }
    return -1;
}
