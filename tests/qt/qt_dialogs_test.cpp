// Message boxes and starting the report with the desktop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>

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

}  // namespace
