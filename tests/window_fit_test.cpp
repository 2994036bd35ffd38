// Fitting the windows into small screens, on the layout tables alone and
// through the bank window's own handlers.
#include "ui/window_fit.h"

#include <gtest/gtest.h>

#include "runtime/services.h"
#include "support/fake_platform.h"
#include "support/program_folder.h"
#include "ui/bank_window_layout.h"
#include "ui/event_wiring.h"
#include "ui/main_window_layout.h"

namespace {

// The main window at its widest: the size "词意" gives it.
constexpr OuterSize kMainWide{948, 531};
constexpr OuterSize kBankDesigned{858, 806};

Rect designed(const ControlSpec& c) {
    return Rect{c.left, c.top, c.width, c.height};
}

bool same(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

bool overlap(const Rect& a, const Rect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// A hidden label without a caption only receives notifications.
bool neverSeen(const ControlSpec& c) {
    return !c.visible && c.kind == ControlKind::Label && *c.caption == '\0';
}

// What must hold however small the screen: the designed client margins are
// kept, so every control stays inside the window; only panes shrink, not
// below their minimum; no two controls meet that were apart as designed.
void expectSound(const WindowSpec& spec, const FittedLayout& fitted) {
    int right = 0, bottom = 0;
    for (const ControlSpec& c : spec.controls) {
        right = std::max(right, c.left + c.width);
        bottom = std::max(bottom, c.top + c.height);
    }
    for (std::size_t i = 0; i < spec.controls.size(); ++i) {
        const ControlSpec& c = spec.controls[i];
        const Rect& r = fitted.controls[i];
        SCOPED_TRACE(c.name);
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.left + r.width, fitted.outer.width - (spec.outerWidth - right));
        EXPECT_LE(r.top + r.height, fitted.outer.height - (spec.outerHeight - bottom));
        if (r.width != c.width || r.height != c.height) {
            EXPECT_TRUE(c.kind == ControlKind::ListView || c.kind == ControlKind::HtmlView ||
                        c.verticalScrollBar);
            EXPECT_GE(r.width, std::min(c.width, kMinPaneWidth));
            EXPECT_GE(r.height, std::min(c.height, kMinPaneHeight));
        }
        for (std::size_t j = 0; j < i; ++j) {
            const ControlSpec& other = spec.controls[j];
            if (!neverSeen(c) && !neverSeen(other) && !overlap(designed(c), designed(other))) {
                EXPECT_FALSE(overlap(r, fitted.controls[j])) << other.name;
            }
        }
    }
}

}  // namespace

TEST(WindowFit, AScreenThatHoldsTheWindowChangesNothing) {
    for (auto [spec, needed] :
         {std::pair{&bankWindow::spec, kBankDesigned}, std::pair{&mainWindow::spec, kMainWide}}) {
        for (OuterSize area : {needed, OuterSize{1920, 1040}}) {
            const FittedLayout fitted = fitLayout(*spec, needed, area);
            EXPECT_EQ(fitted.outer.width, spec->outerWidth);
            EXPECT_EQ(fitted.outer.height, spec->outerHeight);
            for (std::size_t i = 0; i < spec->controls.size(); ++i)
                EXPECT_TRUE(same(fitted.controls[i], designed(spec->controls[i]))) << spec->controls[i].name;
        }
    }
}

TEST(WindowFit, OnePixelShortThePanesGiveOnePixelAndWhatLiesBeyondMovesUp) {
    using namespace bankWindow;
    const FittedLayout bank = fitLayout(spec, kBankDesigned, OuterSize{857, 805});
    EXPECT_EQ(bank.outer.width, 857);
    EXPECT_EQ(bank.outer.height, 805);
    // The list is the widest pane; it gives the width, all three the height.
    EXPECT_TRUE(same(bank.controls[超级列表框1], Rect{6, 27, 279, 700}));
    EXPECT_TRUE(same(bank.controls[编辑框1], Rect{294, 28, 241, 703}));
    EXPECT_TRUE(same(bank.controls[编辑框3], Rect{599, 64, 241, 671}));
    EXPECT_TRUE(same(bank.controls[按钮1], Rect{19, 736, 72, 24}));  // under the list, left of its edge
    EXPECT_TRUE(same(bank.controls[按钮2], Rect{760, 739, 80, 24}));
    EXPECT_TRUE(same(bank.controls[编辑框2], Rect{651, 32, 188, 20}));
    expectSound(spec, bank);

    const FittedLayout main = fitLayout(mainWindow::spec, kMainWide, OuterSize{947, 530});
    for (std::size_t i = 0; i < main.controls.size(); ++i) {
        const Rect want = designed(mainWindow::spec.controls[i]);
        const bool pane = i == mainWindow::超文本浏览框1;
        const Rect fitted = pane ? Rect{want.left, want.top, want.width - 1, want.height - 1} : want;
        EXPECT_TRUE(same(main.controls[i], fitted)) << mainWindow::spec.controls[i].name;
    }
    expectSound(mainWindow::spec, main);
}

TEST(WindowFit, MuchTooSmallThePanesStopAtTheirMinimum) {
    // A 1366x768 screen at 150 %, less a task bar: 910x485 in layout units.
    const FittedLayout bank = fitLayout(bankWindow::spec, kBankDesigned, OuterSize{910, 485});
    EXPECT_EQ(bank.outer.height, 485);
    EXPECT_EQ(bank.controls[bankWindow::按钮2].top, 740 - 321);
    expectSound(bankWindow::spec, bank);

    for (OuterSize area : {OuterSize{300, 200}, OuterSize{0, 0}}) {
        const FittedLayout tiny = fitLayout(bankWindow::spec, kBankDesigned, area);
        EXPECT_EQ(tiny.controls[bankWindow::超级列表框1].width, kMinPaneWidth);
        EXPECT_EQ(tiny.controls[bankWindow::编辑框3].height, kMinPaneHeight);
        EXPECT_EQ(tiny.outer.width, 858 - (280 - kMinPaneWidth));
        expectSound(bankWindow::spec, tiny);
        const FittedLayout main = fitLayout(mainWindow::spec, kMainWide, area);
        EXPECT_EQ(main.controls[mainWindow::超文本浏览框1].height,
                  std::max(kMinPaneHeight, 488 - (531 - area.height)));
        expectSound(mainWindow::spec, main);
    }
}

// The bank window on a 1366x768 screen, then on one that holds it again.
TEST(WindowFit, TheBankWindowIsFittedWhenItOpensAndWhenItsScreenChanges) {
    using namespace bankWindow;
    FakePlatform fake;
    TestProgramFolder program;
    program.writeBank("a.txt", {"apple"});
    fake.screenWorkArea = Rect{0, 0, 1366, 728};
    loadWindow(WindowId::Bank, false);
    ASSERT_EQ(fake.window(WindowId::Bank).sizeHistory.size(), 1u);
    EXPECT_EQ(fake.window(WindowId::Bank).sizeHistory[0], (std::pair{858, 728}));
    EXPECT_EQ(fake.control(ctl(按钮2)).rect.top, 740 - 78);
    EXPECT_EQ(fake.control(ctl(编辑框1)).rect.height, 704 - 78);
    EXPECT_EQ(fake.control(ctl(学习统计)).rect.top, 740 - 78);

    fake.screenWorkArea = Rect{0, 0, 1920, 1040};
    dispatchEvent(WindowId::Bank, -1, EventKind::ScreenChanged);
    EXPECT_EQ(fake.window(WindowId::Bank).sizeHistory.back(), (std::pair{858, 806}));
    EXPECT_EQ(fake.control(ctl(按钮2)).rect.top, 740);
    EXPECT_EQ(fake.control(ctl(编辑框1)).rect.height, 704);
}

// The statistics page (900 x 700) is drawn smaller as a whole, just enough
// for its window to fit, and never so small that nothing could be read.
TEST(WindowFit, APageThatDoesNotFitIsDrawnAtTheScaleThatFits) {
    EXPECT_EQ(fitPageScale(900, 700, OuterSize{906, 725}), 1.0);
    EXPECT_EQ(fitPageScale(900, 700, OuterSize{1 << 20, 1 << 20}), 1.0);
    EXPECT_DOUBLE_EQ(fitPageScale(900, 700, OuterSize{906, 724}), 699.0 / 700);
    EXPECT_DOUBLE_EQ(fitPageScale(900, 700, OuterSize{905, 725}), 899.0 / 900);
    // 1920x1080 less its task bar at 144 DPI, in 96-DPI units.
    EXPECT_DOUBLE_EQ(fitPageScale(900, 700, OuterSize{1285, 693}), 668.0 / 700);
    EXPECT_DOUBLE_EQ(fitPageScale(900, 700, OuterSize{640, 480}), 455.0 / 700);
    EXPECT_EQ(fitPageScale(900, 700, OuterSize{100, 0}), kMinPageScale);
}
