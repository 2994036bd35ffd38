// Windows that fit the learner's screen. The layouts are drawn for a screen
// that holds them; on a smaller one (a 1366x768 laptop less its task bar, or
// a 150 % scale) the scrolling panes give up what is missing, the controls
// beyond them move along, and every control keeps its size and stays on the
// screen. Where the design fits, nothing changes.
#pragma once

#include <vector>

#include "runtime/platform.h"
#include "ui/layout.h"

struct OuterSize {
    int width = 0, height = 0;
};

struct FittedLayout {
    std::vector<Rect> controls;  // by table position
    OuterSize outer;             // holds the fitted controls within the designed margins
};

// Smallest size a pane is given on each axis, however small the screen.
constexpr int kMinPaneWidth = 190;
constexpr int kMinPaneHeight = 120;

// The layout of spec in an area of the given size, when the window at its
// largest takes needed (all sizes in the layout's 96-DPI units, frame
// included).
FittedLayout fitLayout(const WindowSpec& spec, OuterSize needed, OuterSize area);

// Fits the open window into the work area of its screen: moves the controls
// whose place differs from the fitted one, and returns the fitted layout.
FittedLayout fitToScreen(WindowId window, OuterSize needed);

// The frame the layout tables count around a client area (outer = client +
// frame, in 96-DPI units): the borders and the caption.
constexpr OuterSize kDesignFrame{6, 25};

// A page of shapes (pageWidth x pageHeight in 96-DPI units) cannot give up
// height the way a pane does, so where its window does not fit the area it is
// drawn smaller as a whole: the scale at which the window, frame included,
// lies inside area; 1 where it fits. Never below kMinPageScale, where no text
// could be read any more.
constexpr double kMinPageScale = 0.25;
double fitPageScale(int pageWidth, int pageHeight, OuterSize area);

// The word-bank window fitted, and sized where the design does not fit;
// refitBankWindow, for a screen that changed, sizes it in any case.
void fitBankWindow();
void refitBankWindow();
