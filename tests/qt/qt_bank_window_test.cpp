// The word-bank window on the real widgets: its frame and list, clicks and
// double-clicks on the list, the mute box, and how it closes.
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <new>
#include <utility>

#include "app/quiz_state.h"
#include "program_folder.h"
#include "qt_test_support.h"
#include "runtime/platform.h"
#include "runtime/qt/qt_platform.h"
#include "runtime/qt/windows.h"
#include "runtime/services.h"
#include "ui/bank_window_layout.h"

namespace {

using namespace bankWindow;

class BankWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        initQuizState();
        folder.writeBank("a.txt", {"one", "two"});
        folder.writeBank("b.txt", {"three"});
    }
    TestProgramFolder folder;
};

TEST_F(BankWindowTest, OpensModalAtItsFixedSizeWithOneColumnAndAnInvisibleProgressBar) {
    // The count of folders searched only grows while the program runs, here
    // over every listing of the tests before.
    const int searchedBefore = foldersSearched;
    bool checked = false;
    ScriptedSteps steps;
    steps.then(bankWindowShown, [&, searchedBefore] {
        QWidget* frame = qtport::windowFrame(WindowId::Bank);
        // 858 x 806 outer, less the 6 x 25 of a fixed single frame.
        EXPECT_EQ(frame->size(), QSize(852, 781));
        EXPECT_EQ(frame->minimumSize(), frame->maximumSize());
        EXPECT_FALSE(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_TRUE(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
        EXPECT_EQ(frame->windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(frame->windowTitle(), QStringLiteral(u"选择词库"));

        QTreeView* list = bankList();
        EXPECT_EQ(list->model()->columnCount(), 1);
        EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal), QStringLiteral(u"词库列表"));
        EXPECT_EQ(list->columnWidth(0), 600);
        EXPECT_EQ(bankRowCount(), 2);
        EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
        EXPECT_EQ(list->geometry(), QRect(6, 27, 280, 701));

        auto* bar = qobject_cast<QProgressBar*>(widgetOf(ctl(进度条1)));
        EXPECT_FALSE(bar->isVisible());
        EXPECT_EQ(bar->height(), 0);
        EXPECT_EQ(bar->value(), searchedBefore + 1);  // one folder searched, posted during the listing

        // The looping background sound plays; the mute box silences it and
        // unchecking starts it again.
        EXPECT_GT(Mix_Playing(-1), 0);
        auto* mute = qobject_cast<QCheckBox*>(widgetOf(ctl(选择框1)));
        QTest::mouseClick(mute, Qt::LeftButton);
        EXPECT_EQ(Mix_Playing(-1), 0);
        QTest::mouseClick(mute, Qt::LeftButton);
        EXPECT_GT(Mix_Playing(-1), 0);
        checked = true;
        closeWindow(WindowId::Bank);
    });
    EXPECT_TRUE(loadWindow(WindowId::Bank, true));
    EXPECT_TRUE(checked);
    EXPECT_FALSE(steps.timedOut());
    EXPECT_EQ(qtport::windowFrame(WindowId::Bank), nullptr);
}

TEST_F(BankWindowTest, ClickShowsTheWordsAndDoubleClickTakesTheBankIntoUse) {
    QString shownWords;
    ScriptedSteps steps;
    steps.then(bankWindowShown, [] { clickBankRow(bankRowOf(QStringLiteral("a.txt")), false); })
        .then([] { return !qobject_cast<QPlainTextEdit*>(widgetOf(ctl(编辑框1)))->toPlainText().isEmpty(); },
              [&] {
                  shownWords = qobject_cast<QPlainTextEdit*>(widgetOf(ctl(编辑框1)))->toPlainText();
                  EXPECT_EQ(platform().controlText(ctl(编辑框1)), "one\r\ntwo");
                  clickBankRow(bankRowOf(QStringLiteral("a.txt")), true);
              });
    EXPECT_TRUE(loadWindow(WindowId::Bank, true));
    EXPECT_FALSE(steps.timedOut());
    EXPECT_EQ(shownWords, QStringLiteral("one\ntwo"));
    EXPECT_EQ(bankName, "a.txt");
    EXPECT_EQ(wordList, (TextArray{"one", "two"}));
    EXPECT_EQ(Mix_Playing(-1), 0);  // the background sound stops with the choice
}

TEST_F(BankWindowTest, CloseWindowRaisesNoClosingQueryButTheCloseBoxEndsTheProgram) {
    // Without a chosen bank the closing query ends the program, so surviving
    // the close shows that closeWindow raised no query.
    ScriptedSteps steps;
    steps.then(bankWindowShown, [] { closeWindow(WindowId::Bank); });
    EXPECT_TRUE(loadWindow(WindowId::Bank, true));
    EXPECT_TRUE(bankName.empty());

    EXPECT_EXIT(
        {
            ScriptedSteps closeBox;
            closeBox.then(bankWindowShown, [] { qtport::windowFrame(WindowId::Bank)->close(); });
            loadWindow(WindowId::Bank, true);
        },
        ::testing::ExitedWithCode(0), "");
}

// The real Qt platform, except that isChecked throws once when armed, as an
// allocation failing inside a handler would.
struct PlatformThrowingOnce : QtPlatform {
    bool armed = false;
    bool isChecked(ControlRef control) override {
        if (std::exchange(armed, false)) throw std::bad_alloc();
        return QtPlatform::isChecked(control);
    }
};

TEST_F(BankWindowTest, AnExceptionInAHandlerEndsThereAndTheWindowGoesOn) {
    Platform& real = platform();
    PlatformThrowingOnce throwing;
    installPlatform(&throwing);
    bool checked = false;
    ScriptedSteps steps;
    steps.then(bankWindowShown, [&] {
        auto* mute = qobject_cast<QCheckBox*>(widgetOf(ctl(选择框1)));
        throwing.armed = true;
        QTest::mouseClick(mute, Qt::LeftButton);  // the handler throws before it stops the sound
        EXPECT_FALSE(throwing.armed);
        EXPECT_GT(Mix_Playing(-1), 0);
        QTest::mouseClick(mute, Qt::LeftButton);
        QTest::mouseClick(mute, Qt::LeftButton);  // checked again, and this time handled
        EXPECT_EQ(Mix_Playing(-1), 0);
        checked = true;
        closeWindow(WindowId::Bank);
    });
    EXPECT_TRUE(loadWindow(WindowId::Bank, true));
    installPlatform(&real);
    EXPECT_TRUE(checked);
    EXPECT_FALSE(steps.timedOut());
}

}  // namespace
