// Message boxes, starting programs and showing the report.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "qt_test_support.h"
#include "runtime/codepage.h"
#include "runtime/qt/dialogs.h"

namespace {

// Runs a message box and answers it with the given button.
int answerWith(const QString& button, int flags, QString* shownTitle = nullptr) {
    ScriptedSteps steps;
    steps.then([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; },
               [&] {
                   auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                   if (shownTitle != nullptr) *shownTitle = box->windowTitle();
                   EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
                   answerMessageBox(button);
               });
    return qtport::messageBox(gbk(u"是否要删除词库：a.txt"), flags, gbk(u"信息："));
}

TEST(QtDialogs, MessageBoxButtonsGiveTheProgramsNumbers) {
    QString title;
    EXPECT_EQ(answerWith(QStringLiteral("OK"), 0, &title), 0);
    EXPECT_EQ(title, QStringLiteral(u"信息："));
    EXPECT_EQ(answerWith(QStringLiteral("Yes"), 4), 5);
    EXPECT_EQ(answerWith(QStringLiteral("No"), 4), 6);
    EXPECT_EQ(answerWith(QStringLiteral("Cancel"), 1), 1);
}

TEST(QtDialogs, RunCommandLineStartsAProgramGivenAsAProgramPath) {
    QTemporaryDir folder;
    QString script = folder.filePath(QStringLiteral(u"报告 工具.sh"));
    QString marker = folder.filePath("ran");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\ntouch \"$1\"\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QString line = QStringLiteral("\"") + script + QStringLiteral("\" ") + marker;
    line.replace(u'/', u'\\');  // as the program writes its paths
    EXPECT_TRUE(qtport::runCommandLine(utf16ToGbk(line.toStdU16String())));
    EXPECT_TRUE(waitUntil([&] { return QFile::exists(marker); }));
    EXPECT_FALSE(qtport::runCommandLine(gbk(u"\\no\\such\\program")));
}

// A report takes the bank's name, which may make it look like a program or
// a desktop launcher; it is handed to a text editor as a plain argument, and
// neither run nor given to the desktop's opener.
TEST(QtDialogs, OpenTextFileShowsAnyReportInATextEditorAndNeverRunsIt) {
    QTemporaryDir folder;
    const QString marker = folder.filePath("ran");
    const QString opened = folder.filePath("opened");
    auto writeFile = [&](const QString& name, const QByteArray& content) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file.fileName();
    };
    QDir(folder.path()).mkdir("bin");
    writeFile("bin/gnome-text-editor", "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"" + opened.toUtf8() + "\"\n");
    for (const char* opener : {"bin/xdg-open", "bin/gio", "bin/kde-open", "bin/gnome-open"}) {
        writeFile(opener, "#!/bin/sh\ntouch \"" + marker.toUtf8() + "\"\n");
    }
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", folder.filePath("bin").toUtf8() + ":" + oldPath);

    const QString reports[] = {
        writeFile(QStringLiteral(u"报告a&touch ran&.sh"), "#!/bin/sh\ntouch \"" + marker.toUtf8() + "\"\n"),
        writeFile(QStringLiteral(u"报告x.desktop"),
                  "[Desktop Entry]\nType=Application\nName=x\nExec=touch " + marker.toUtf8() + "\n"),
    };
    auto linesOpened = [&] {
        QFile log(opened);
        return log.open(QIODevice::ReadOnly) ? log.readAll().count('\n') : 0;
    };
    for (const QString& report : reports) {
        QString asProgramPath = report;
        asProgramPath.replace(u'/', u'\\');
        const auto before = linesOpened();
        EXPECT_TRUE(qtport::openTextFile(utf16ToGbk(asProgramPath.toStdU16String())));
        EXPECT_TRUE(waitUntil([&] { return linesOpened() == before + 1; }));
    }
    QFile log(opened);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(log.readAll()), reports[0] + "\n" + reports[1] + "\n");
    QTest::qWait(300);
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_FALSE(qtport::openTextFile(gbk(u"\\no\\such\\report.txt")));
    qputenv("PATH", oldPath);
}

// With no text editor installed the report is shown read-only in a window
// of the program's own, decoded from GBK.
TEST(QtDialogs, OpenTextFileWithoutAnEditorShowsTheReportReadOnly) {
    QTemporaryDir folder;
    QDir(folder.path()).mkdir("bin");
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", folder.filePath("bin").toUtf8());
    QFile report(folder.filePath("report.txt"));
    ASSERT_TRUE(report.open(QIODevice::WriteOnly));
    report.write(QByteArray::fromStdString(gbk(u"写成了>apel\r\n")));
    report.close();
    QString path = report.fileName();
    path.replace(u'/', u'\\');

    EXPECT_TRUE(qtport::openTextFile(utf16ToGbk(path.toStdU16String())));
    qputenv("PATH", oldPath);
    QPlainTextEdit* shown = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* view = window->findChild<QPlainTextEdit*>(); view && window->isVisible()) shown = view;
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isReadOnly());
    EXPECT_TRUE(shown->toPlainText().startsWith(QStringLiteral(u"写成了>apel")));
    shown->window()->close();
}

}  // namespace
