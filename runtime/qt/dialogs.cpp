#include "runtime/qt/dialogs.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <utility>
#include <vector>

#include "runtime/platform.h"
#include "runtime/qt/qt_text.h"

namespace qtport {

namespace {

using ButtonList = std::vector<std::pair<QMessageBox::StandardButton, int>>;

ButtonList buttonsFor(int flags) {
    switch (flags & 0xF) {
        case 1:
            return {{QMessageBox::Ok, kIdOk}, {QMessageBox::Cancel, kIdCancel}};
        case 2:
            return {{QMessageBox::Abort, kIdAbort},
                    {QMessageBox::Retry, kIdRetry},
                    {QMessageBox::Ignore, kIdIgnore}};
        case 3:
            return {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}, {QMessageBox::Cancel, kIdCancel}};
        case 4:
            return {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}};
        case 5:
            return {{QMessageBox::Retry, kIdRetry}, {QMessageBox::Cancel, kIdCancel}};
        default:
            return {{QMessageBox::Ok, kIdOk}};
    }
}

QMessageBox::Icon iconFor(int flags) {
    switch (flags & 0xF0) {
        case 0x10:
            return QMessageBox::Critical;
        case 0x20:
            return QMessageBox::Question;
        case 0x30:
            return QMessageBox::Warning;
        case 0x40:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// Graphical text editors of the common desktops, the first one found wins.
constexpr const char* kTextEditors[] = {"gnome-text-editor", "gedit", "kwrite", "kate",
                                        "mousepad",          "pluma", "xed",    "featherpad",
                                        "leafpad",           "geany", "xedit",  "deepin-editor"};

// A report is a few kilobytes; a bigger file is shown only up to here.
constexpr qint64 kMaxShownTextBytes = 4 * 1024 * 1024;

// Without any editor the report is still readable: in a plain window of our
// own that only shows it, never in a program the desktop picks by file type.
bool showTextReadOnly(const QFileInfo& info) {
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.read(kMaxShownTextBytes);
    auto* window = new QDialog();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(info.fileName());
    auto* view = new QPlainTextEdit(window);
    view->setReadOnly(true);
    view->setPlainText(toQString(Text(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(view);
    window->resize(640, 480);
    window->show();
    return true;
}

// Splits off the program (or file) named at the start of a command line: a
// quoted first word, else the whole line when it names an existing file
// (paths may hold blanks), else the first blank-separated word.
QString leadingPath(const QString& line, QString& rest) {
    QString trimmed = line.trimmed();
    if (trimmed.startsWith(u'"')) {
        qsizetype close = trimmed.indexOf(u'"', 1);
        if (close < 0) close = trimmed.size();
        rest = trimmed.mid(close + 1).trimmed();
        return trimmed.mid(1, close - 1);
    }
    if (QFileInfo::exists(trimmed)) {
        rest.clear();
        return trimmed;
    }
    qsizetype blank = trimmed.indexOf(u' ');
    if (blank < 0) blank = trimmed.size();
    rest = trimmed.mid(blank + 1).trimmed();
    return trimmed.left(blank);
}

}  // namespace

int messageBox(const Text& message, int flags, const Text& caption) {
    QMessageBox box;
    box.setWindowTitle(toQString(caption));
    box.setTextFormat(Qt::PlainText);
    box.setText(toQString(message));
    box.setIcon(iconFor(flags));
    box.setWindowModality(Qt::ApplicationModal);

    ButtonList buttons = buttonsFor(flags);
    std::vector<QAbstractButton*> made;
    for (const auto& [standard, result] : buttons) made.push_back(box.addButton(standard));
    std::size_t defaultIndex = static_cast<std::size_t>((flags >> 8) & 0xF);
    if (defaultIndex < made.size()) box.setDefaultButton(static_cast<QPushButton*>(made[defaultIndex]));

    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (std::size_t i = 0; i < made.size(); ++i) {
        if (made[i] == clicked) return buttons[i].second;
    }
    // Closed without a button: as Cancel where there is one, else the first.
    for (const auto& [standard, result] : buttons) {
        if (result == kIdCancel) return kIdCancel;
    }
    return buttons.front().second;
}

bool runCommandLine(const Text& commandLine) {
    QString line = localPath(commandLine);
    QString rest;
    QString target = leadingPath(line, rest);
    if (target.isEmpty()) return false;
    QFileInfo info(target);
    if (info.isFile() && info.isExecutable()) {
        return QProcess::startDetached(info.absoluteFilePath(), QProcess::splitCommand(rest));
    }
    return QProcess::startDetached(target, QProcess::splitCommand(rest));
}

bool openTextFile(const Text& path) {
    QFileInfo info(localPath(path));
    if (!info.isFile()) return false;
    // Never the desktop's opener: it goes by the file's name and content, and
    // a report named after a bank "x.desktop" or "x.sh" could be started.
    // A text editor is given the file as its one argument, without a shell.
    for (const char* editor : kTextEditors) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(editor));
        if (!program.isEmpty()) return QProcess::startDetached(program, {info.absoluteFilePath()});
    }
    return showTextReadOnly(info);
}

}  // namespace qtport
