// The bank list's row marks on the real widgets: the three icons and none,
// the tooltips, the row texts left alone, and a row shown by the program
// while the window is being built, selected and in view without a click.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <cstdio>

#include "app/quiz_state.h"
#include "program_folder.h"
#include "qt_test_support.h"
#include "runtime/platform.h"
#include "runtime/qt/qt_platform.h"
#include "runtime/services.h"
#include "ui/bank_window_layout.h"

namespace {

using namespace bankWindow;

constexpr int kBanks = 60;
constexpr int kShown = 47;

QTreeWidget* bankList() {
    return qobject_cast<QTreeWidget*>(widgetOf(ctl(超级列表框1)));
}

// The whole height of the row lies in the list's visible part.
bool rowInView(QTreeWidget* list, int row) {
    QRect rect = list->visualItemRect(list->topLevelItem(row));
    return rect.top() >= 0 && rect.bottom() < list->viewport()->height();
}

QImage iconImage(int row) {
    return bankList()->topLevelItem(row)->icon(0).pixmap(16, 16).toImage();
}

// The real platform, which also marks the rows and shows one once the list
// is filled, from inside the window's creation as the program does.
struct MarkingPlatform : QtPlatform {
    int insertColumn(ControlRef list, const Text& title, int width) override {
        int column = QtPlatform::insertColumn(list, title, width);
        setRowMark(list, 1, RowMark::NotPractised, gbk(u"从未练习"));
        setRowMark(list, 2, RowMark::Practised, gbk(u"上次练习：2024-05-01 正确率 80%"));
        setRowMark(list, 3, RowMark::Mastered, Text());
        setRowMark(list, kBanks, RowMark::Mastered, gbk(u"no such row"));
        showRow(list, kShown);
        return column;
    }
};

TEST(RowMarksTest, IconsTooltipsAndTheShownRowWithoutAClick) {
    initQuizState();
    TestProgramFolder folder;
    for (int i = 0; i < kBanks; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "b%02d.txt", i);
        folder.writeBank(name, {"word"});
    }
    Platform& real = platform();
    MarkingPlatform marking;
    installPlatform(&marking);

    bool checked = false;
    ScriptedSteps steps;
    steps.then(bankWindowShown, [&] {
        QTreeWidget* list = bankList();
        ASSERT_EQ(list->topLevelItemCount(), kBanks);
        for (int row = 0; row < kBanks; ++row) {
            char name[16];
            std::snprintf(name, sizeof name, "b%02d.txt", row);
            EXPECT_EQ(list->topLevelItem(row)->text(0), QString::fromLatin1(name));
        }
        // Unmarked rows show nothing; the three marks are three pictures.
        EXPECT_TRUE(list->topLevelItem(0)->icon(0).isNull());
        EXPECT_TRUE(list->topLevelItem(4)->icon(0).isNull());
        QImage notPractised = iconImage(1), practised = iconImage(2), mastered = iconImage(3);
        for (const QImage& image : {notPractised, practised, mastered}) {
            EXPECT_FALSE(image.isNull());
            EXPECT_TRUE(image.hasAlphaChannel());
        }
        EXPECT_NE(notPractised, practised);
        EXPECT_NE(practised, mastered);
        EXPECT_NE(notPractised, mastered);

        EXPECT_EQ(list->topLevelItem(1)->toolTip(0), QStringLiteral(u"从未练习"));
        EXPECT_EQ(list->topLevelItem(2)->toolTip(0), QStringLiteral(u"上次练习：2024-05-01 正确率 80%"));
        EXPECT_TRUE(list->topLevelItem(3)->toolTip(0).isEmpty());

        // Shown while the window was built: selected, current and in view,
        // with its words in the all-words box as a click would show them.
        EXPECT_EQ(platform().selectedRow(ctl(超级列表框1)), kShown);
        EXPECT_EQ(list->currentItem(), list->topLevelItem(kShown));
        EXPECT_TRUE(rowInView(list, kShown));
        EXPECT_EQ(qobject_cast<QPlainTextEdit*>(widgetOf(ctl(编辑框1)))->toPlainText().trimmed(), "word");

        // A mark taken back leaves no icon; a new one replaces the old.
        platform().setRowMark(ctl(超级列表框1), 2, RowMark::None, Text());
        EXPECT_TRUE(list->topLevelItem(2)->icon(0).isNull());
        EXPECT_TRUE(list->topLevelItem(2)->toolTip(0).isEmpty());
        platform().setRowMark(ctl(超级列表框1), 1, RowMark::Mastered, gbk(u"全部掌握"));
        EXPECT_EQ(iconImage(1), mastered);
        EXPECT_EQ(list->topLevelItem(1)->toolTip(0), QStringLiteral(u"全部掌握"));

        // Showing a row above scrolls back up to it.
        platform().showRow(ctl(超级列表框1), 0);
        EXPECT_EQ(platform().selectedRow(ctl(超级列表框1)), 0);
        EXPECT_TRUE(rowInView(list, 0));
        checked = true;
        closeWindow(WindowId::Bank);
    });
    EXPECT_TRUE(loadWindow(WindowId::Bank, true));
    installPlatform(&real);
    EXPECT_TRUE(checked);
    EXPECT_FALSE(steps.timedOut());
}

}  // namespace
