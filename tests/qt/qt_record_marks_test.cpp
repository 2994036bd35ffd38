// The learning record on the real widgets: a quiz with one miss, then the
// next start's bank list with the error book first, the finished bank
// marked as practised, and the bank after it selected and in view.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTextEdit>

#include "app/quiz_state.h"
#include "lookup/hosts.h"
#include "program_folder.h"
#include "qt_test_support.h"
#include "record/learning_record.h"
#include "runtime/platform.h"
#include "runtime/qt/windows.h"
#include "runtime/row_mark_pixels.h"
#include "runtime/services.h"
#include "ui/bank_window_layout.h"
#include "ui/main_window_layout.h"

namespace {

QTextEdit* answerBox() {
    return qobject_cast<QTextEdit*>(widgetOf(mainWindow::ctl(mainWindow::编辑框2)));
}
QString labelText(mainWindow::Control label) {
    return qobject_cast<QLabel*>(widgetOf(mainWindow::ctl(label)))->text();
}
void typeAnswer(const QString& text) {
    QTest::keyClicks(answerBox(), text);
    QTest::keyClick(answerBox(), Qt::Key_Return);
}

QImage practisedIcon() {
    std::vector<std::uint32_t> pixels = rowMarkPixels(RowMark::Practised, 16);
    QImage image(16, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y)
        std::copy_n(pixels.data() + y * 16, 16, reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TEST(RecordMarksTest, AMissedWordComesBackAndTheListOpensAtTheNextBank) {
    TestProgramFolder folder;
    DictServer server(QString::fromStdString(folder.nativePath("\\server.log")));
    Text host = "127.0.0.1:" + std::to_string(server.port());
    folder.write("\\vorbelzoz.ini", "dictionary=" + host + "\r\nspeech=" + host + "\r\n");
    folder.writeBank(gbk(u"测试A.txt"), {"apple", "pear"});
    folder.writeBank(gbk(u"测试B.txt"), {"plum"});
    initQuizState();
    loadHostSettings();
    openLearningRecord();

    ScriptedSteps choose;
    choose.then(bankWindowShown, [] { clickBankRow(bankRowOf(QStringLiteral(u"测试A.txt")), true); });
    ASSERT_TRUE(loadWindow(WindowId::Main, false));
    ASSERT_TRUE(waitUntil([] {
        QWidget* frame = qtport::windowFrame(WindowId::Main);
        return frame != nullptr && frame->isVisible();
    }));

    // The first word right, the second missed; the quiz runs to its end.
    QString missed;
    ScriptedSteps quiz(60000);
    auto asked = [] {
        QString word = labelText(mainWindow::拼写标签);
        return word == QStringLiteral("apple") || word == QStringLiteral("pear");
    };
    quiz.then(asked, [] { typeAnswer(labelText(mainWindow::拼写标签)); })
        .then(
            [&] {
                return asked() && labelText(mainWindow::标签4).contains(QStringLiteral(u"目前已进行了：1个"));
            },
            [&] {
                missed = labelText(mainWindow::拼写标签);
                typeAnswer(QStringLiteral("x"));
            })
        .then([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; },
              [] { answerMessageBox(); });
    QTest::mouseClick(widgetOf(mainWindow::ctl(mainWindow::按钮1)), Qt::LeftButton);
    ASSERT_FALSE(quiz.timedOut());

    // The next start: the record opened again, the bank window listed.
    closeLearningRecord();
    openLearningRecord();
    bool checked = false;
    ScriptedSteps restart;
    restart.then(bankWindowShown, [&] {
        EXPECT_EQ(bankRowText(0), QStringLiteral(u"错词本.txt"));
        const int finished = bankRowOf(QStringLiteral(u"测试A.txt"));
        const int next = bankRowOf(QStringLiteral(u"测试B.txt"));
        ASSERT_GE(finished, 0);
        ASSERT_GE(next, 0);
        EXPECT_EQ(bankRowIcon(finished).pixmap(16, 16).toImage().convertToFormat(
                      QImage::Format_ARGB32_Premultiplied),
                  practisedIcon());
        EXPECT_FALSE(bankRowTip(finished).isEmpty());
        EXPECT_EQ(platform().selectedRow(bankWindow::ctl(bankWindow::超级列表框1)), next);
        EXPECT_TRUE(bankRowInView(next));
        checked = true;
        closeWindow(WindowId::Bank);
    });
    loadWindow(WindowId::Bank, true);
    EXPECT_TRUE(checked);
    const Bytes book = folder.read(gbk(u"\\单词表\\00复习\\错词本.txt"));
    EXPECT_NE(book.find(gbk(missed.toStdU16String()) + "\r\n"), Bytes::npos) << book;
    closeLearningRecord();
    qtport::discardWindow(WindowId::Main);
}

}  // namespace
