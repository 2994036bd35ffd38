// The window tables and the event wiring fit together: every binding names
// an existing control of a kind that can raise its event, nothing is bound
// twice, and the names the backends show are unique per window.
#include <gtest/gtest.h>

#include <set>

#include "ui/bank_window_layout.h"
#include "ui/event_wiring.h"
#include "ui/main_window_layout.h"

namespace {

bool kindRaises(ControlKind kind, EventKind event) {
    switch (event) {
        case EventKind::Click:
            return kind == ControlKind::PushButton || kind == ControlKind::CheckBox ||
                   kind == ControlKind::ListView;
        case EventKind::DoubleClick:
            return kind == ControlKind::ListView;
        case EventKind::KeyDown:
            return kind == ControlKind::EditBox;
        case EventKind::Notify:
            return kind == ControlKind::Label;
        default:
            return false;  // window events
    }
}

}  // namespace

TEST(Layout, TablesMatchTheirControlEnumsAndNamesAreUnique) {
    EXPECT_EQ(windowSpec(WindowId::Main).controls.size(), static_cast<std::size_t>(mainWindow::controlCount));
    EXPECT_EQ(windowSpec(WindowId::Bank).controls.size(), static_cast<std::size_t>(bankWindow::controlCount));
    for (WindowId id : {WindowId::Main, WindowId::Bank}) {
        std::set<std::string> names;
        for (const ControlSpec& c : windowSpec(id).controls)
            EXPECT_TRUE(names.insert(c.name).second) << c.name;
        EXPECT_EQ(windowSpec(id).id, id);
    }
    EXPECT_STREQ(windowSpec(WindowId::Main).controls[mainWindow::编辑框2].name, "编辑框2");
    EXPECT_STREQ(windowSpec(WindowId::Bank).controls[bankWindow::使用词库按钮1].name, "使用词库按钮1");
}

TEST(Layout, EveryBindingNamesAControlThatCanRaiseItsEvent) {
    std::set<std::tuple<int, int, int>> seen;
    int mainCount = 0, bankCount = 0;
    for (const EventBinding& b : eventBindings()) {
        EXPECT_TRUE(seen.insert({static_cast<int>(b.window), b.control, static_cast<int>(b.event)}).second);
        EXPECT_NE(b.handler, nullptr);
        (b.window == WindowId::Main ? mainCount : bankCount) += 1;
        const auto controls = windowSpec(b.window).controls;
        if (b.control == -1) {
            EXPECT_TRUE(b.event == EventKind::Created || b.event == EventKind::CloseRequested ||
                        b.event == EventKind::Destroyed || b.event == EventKind::ScreenChanged);
            continue;
        }
        ASSERT_GE(b.control, 0);
        ASSERT_LT(b.control, static_cast<int>(controls.size()));
        EXPECT_TRUE(kindRaises(controls[b.control].kind, b.event)) << controls[b.control].name;
    }
    EXPECT_EQ(mainCount, 14);
    EXPECT_EQ(bankCount, 13);
    // "发音" is only read; the hidden label is the hotkey route.
    EXPECT_FALSE(hasBinding(WindowId::Main, mainWindow::单选框3, EventKind::Click));
    EXPECT_TRUE(hasBinding(WindowId::Main, mainWindow::标签1, EventKind::Notify));
    EXPECT_TRUE(hasBinding(WindowId::Bank, bankWindow::标签1, EventKind::Notify));
    EXPECT_FALSE(hasBinding(WindowId::Bank, -1, EventKind::Destroyed));
    EXPECT_EQ(dispatchEvent(WindowId::Main, mainWindow::标签4, EventKind::Click), 0);
}
