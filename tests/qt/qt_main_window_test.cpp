// The main window on the real widgets, opened once per test process the way
// the program opens it: the word-bank window first, a bank double-clicked.
// The quiz looks words up on the local dictionary server.
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <memory>

#include "app/quiz_state.h"
#include "lookup/hosts.h"
#include "program_folder.h"
#include "qt_test_support.h"
#include "runtime/platform.h"
#include "runtime/qt/windows.h"
#include "runtime/services.h"
#include "ui/main_window_layout.h"

namespace {

using namespace mainWindow;

QWidget* mainFrame() {
    return qtport::windowFrame(WindowId::Main);
}
QTextEdit* answerBox() {
    return qobject_cast<QTextEdit*>(widgetOf(ctl(编辑框2)));
}
QString labelText(Control label) {
    return qobject_cast<QLabel*>(widgetOf(ctl(label)))->text();
}
void click(Control control) {
    QTest::mouseClick(widgetOf(ctl(control)), Qt::LeftButton);
}

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = std::make_unique<TestProgramFolder>();
        server = std::make_unique<DictServer>(QString::fromStdString(folder->nativePath("\\server.log")));
        Text host = "127.0.0.1:" + std::to_string(server->port());
        folder->write("\\vorbelzoz.ini", "dictionary=" + host + "\r\nspeech=" + host + "\r\n");
        folder->writeBank(gbk(u"两个词.txt"), {"apple", "apple"});

        initQuizState();
        loadHostSettings();
        ScriptedSteps choose;
        choose.then(bankWindowShown, [] { clickBankRow(0, true); });
        loadWindow(WindowId::Main, false);
        waitUntil([] { return mainFrame() != nullptr && mainFrame()->isVisible(); });
    }
    // The window goes with the suite's folder and server; a later suite
    // opens its own.
    static void TearDownTestSuite() {
        qtport::discardWindow(WindowId::Main);
        server.reset();
        folder.reset();
    }

    void SetUp() override { ASSERT_NE(mainFrame(), nullptr); }

    static std::unique_ptr<TestProgramFolder> folder;
    static std::unique_ptr<DictServer> server;
};

std::unique_ptr<TestProgramFolder> MainWindowTest::folder;
std::unique_ptr<DictServer> MainWindowTest::server;

TEST_F(MainWindowTest, StartsCentredAtTheCompactSizeWithTheBankInItsTitle) {
    // 586 x 366 outer, less the 6 x 25 of a fixed single frame.
    EXPECT_EQ(mainFrame()->size(), QSize(580, 341));
    EXPECT_EQ(mainFrame()->minimumSize(), mainFrame()->maximumSize());
    EXPECT_FALSE(mainFrame()->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(mainFrame()->windowFlags() & Qt::WindowCloseButtonHint);
    QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(mainFrame()->pos(),
              QPoint(area.x() + (area.width() - 586) / 2, area.y() + (area.height() - 366) / 2));

    EXPECT_EQ(mainFrame()->windowTitle(), QStringLiteral(u"Vorbelzoz两个词.txt"));
    EXPECT_EQ(labelText(标签3), QStringLiteral(u"当前词库单词数量：2"));
    EXPECT_EQ(replayHotkeyId, 33001);
    EXPECT_EQ(hintHotkeyId, 33002);
}

TEST_F(MainWindowTest, ClosingTheWindowEndsTheProgram) {
    EXPECT_EXIT(mainFrame()->close(), ::testing::ExitedWithCode(0), "");
}

TEST_F(MainWindowTest, MeaningsOptionSwitchesBetweenTheCompactAndTheWideSize) {
    click(单选框1);
    EXPECT_EQ(mainFrame()->size(), QSize(942, 506));  // 948 x 531 outer
    EXPECT_TRUE(widgetOf(ctl(超文本浏览框1))->isVisible());
    click(单选框1);
    EXPECT_EQ(mainFrame()->size(), QSize(580, 341));
    EXPECT_FALSE(widgetOf(ctl(超文本浏览框1))->isVisible());
}

TEST_F(MainWindowTest, HiddenControlsKeepWhatIsWrittenToThem) {
    ASSERT_FALSE(widgetOf(ctl(拼写标签))->isVisible());
    platform().setControlText(ctl(拼写标签), "pear");
    EXPECT_EQ(platform().controlText(ctl(拼写标签)), "pear");
    click(单选框2);
    EXPECT_TRUE(widgetOf(ctl(拼写标签))->isVisible());
    EXPECT_EQ(labelText(拼写标签), QStringLiteral("pear"));
    click(单选框2);
    EXPECT_FALSE(widgetOf(ctl(拼写标签))->isVisible());
}

TEST_F(MainWindowTest, EnterSubmitsTheAnswerAndNeverInsertsALineBreak) {
    // Outside a quiz an answer is judged against the last word asked: wrong,
    // and the box is emptied. A line break let through would remain in it.
    int wrongBefore = wrongCount;
    QTest::keyClicks(answerBox(), "ab");
    QTest::keyClick(answerBox(), Qt::Key_Return);
    EXPECT_EQ(answerBox()->toPlainText(), QString());
    QTest::keyClicks(answerBox(), "cd");
    QTest::keyClick(answerBox(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(answerBox()->toPlainText(), QString());
    QTest::keyClicks(answerBox(), "ef");
    QTest::keyClick(answerBox(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(answerBox()->toPlainText(), QString());
    EXPECT_EQ(wrongCount, wrongBefore + 3);
    EXPECT_TRUE(errorDetails.find("ab\r\n") != Text::npos);

    // Every other key reaches the box.
    QTest::keyClicks(answerBox(), "x y");
    EXPECT_EQ(platform().controlText(ctl(编辑框2)), "x y");
    platform().setControlText(ctl(编辑框2), "");
}

TEST_F(MainWindowTest, ControlsLookAsDesigned) {
    EXPECT_EQ(widgetOf(ctl(拼写标签))->font().pixelSize(), 32);
    EXPECT_EQ(widgetOf(ctl(提示标签1))->font().pixelSize(), 32);
    EXPECT_EQ(answerBox()->font().pixelSize(), 21);
    EXPECT_EQ(answerBox()->geometry(), QRect(8, 224, 568, 40));
    EXPECT_EQ(answerBox()->document()->defaultTextOption().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(answerBox()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(answerBox()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(widgetOf(ctl(标签4))->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(widgetOf(ctl(标签1))->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(widgetOf(ctl(标签1))->isVisible());
    auto* pronunciation = qobject_cast<QCheckBox*>(widgetOf(ctl(单选框3)));
    EXPECT_TRUE(pronunciation->isChecked());
}

TEST_F(MainWindowTest, RoadOfOneAnswer) {
    click(单选框4);  // phonetic symbols
    click(单选框5);  // hint
    QString phonetic, meanings, summary;
    QTextCharFormat phoneticFormat;
    int playResult = -1;

    ScriptedSteps steps(60000);
    steps
        .then(
            [] {
                return labelText(拼写标签) == QStringLiteral("apple") &&
                       !qobject_cast<QTextBrowser*>(widgetOf(ctl(超文本浏览框1)))->toPlainText().isEmpty();
            },
            [&] {
                auto* box = qobject_cast<QTextEdit*>(widgetOf(ctl(超级编辑框1)));
                phonetic = box->toPlainText();
                QTextCursor cursor(box->document());
                cursor.setPosition(1);
                phoneticFormat = cursor.charFormat();
                meanings = qobject_cast<QTextBrowser*>(widgetOf(ctl(超文本浏览框1)))->toPlainText();
                playResult = mediaResult;
                QTest::keyClicks(answerBox(), "apple");
                QTest::keyClick(answerBox(), Qt::Key_Return);
            })
        .then([] { return labelText(标签4).contains(QStringLiteral(u"目前已进行了：1个")); },
              [] { QTest::keyClick(answerBox(), Qt::Key_F2); })
        .then([] { return labelText(提示标签1) == QStringLiteral("apple"); },
              [] {
                  QTest::keyClicks(answerBox(), "aple");
                  QTest::keyClick(answerBox(), Qt::Key_Enter, Qt::KeypadModifier);
              })
        .then([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; },
              [&] { summary = answerMessageBox(); });

    click(按钮1);  // "开始": returns when the quiz has ended

    EXPECT_FALSE(steps.timedOut());
    EXPECT_EQ(phonetic, QStringLiteral(u"[ˈæpl]"));
    EXPECT_EQ(phoneticFormat.foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(phoneticFormat.font().pointSize(), 15);
    EXPECT_EQ(phoneticFormat.font().families().value(0), QStringLiteral(u"宋体"));
    EXPECT_TRUE(meanings.contains(QStringLiteral(u"测试释义：apple"))) << meanings.toStdString();
    EXPECT_TRUE(meanings.contains(QStringLiteral(u"第二释义")));
    EXPECT_FALSE(meanings.contains(QStringLiteral("later list")));
    EXPECT_EQ(playResult, 0);  // the cached MP3 opened and played

    EXPECT_EQ(summary,
              QStringLiteral(u"答题结束 \r\n共答题：2\r\n错误次数:1\r\n求助了：1\r\napple写成了>aple\r\n"));
    EXPECT_EQ(
        labelText(标签4),
        QStringLiteral(
            u"按F1可以重听语音    目前已进行了：2个   还有： 0个  正确数量：1个  错误数量：1正确率:50%"));
    EXPECT_TRUE(widgetOf(ctl(按钮2))->isEnabled());
    EXPECT_EQ(
        folder->read(gbk(u"\\日志\\报告两个词.txt")),
        gbk(u"答题范围：两个词.txt\r\n共答题：2\r\n正确率:50%\r\n错误次数:1\r\n求助了：1\r\n错误详情\r\n"
            u"apple写成了>aple\r\n\r\n错词表：\r\napple\r\n") +
            std::string(64, '-'));
    EXPECT_EQ(folder->read("\\mp3\\apple.mp3").size(), 8u * 417u);

    int pages = 0, speech = 0;
    for (const QJsonObject& request : server->requests()) {
        QString target = request.value("target").toString();
        if (target == QStringLiteral("/apple")) {
            ++pages;
            EXPECT_EQ(request.value("raw_line").toString(), QStringLiteral("GET /apple HTTP/1.0"));
            QJsonObject headers = request.value("headers").toObject();
            EXPECT_EQ(headers.value("User-Agent").toString(),
                      QStringLiteral("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"));
            EXPECT_EQ(headers.value("Accept").toString(), QStringLiteral("*/*"));
        } else if (target == QStringLiteral("/text2audio?lan=uk&pid=101&ie=UTF-8&text=apple&spd=2")) {
            ++speech;
        }
    }
    EXPECT_EQ(pages, 2);   // every asked word is looked up
    EXPECT_EQ(speech, 1);  // the pronunciation is fetched once, then cached
}

}  // namespace
