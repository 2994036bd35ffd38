#include "ui/window_fit.h"

#include <algorithm>

#include "ui/bank_window_layout.h"

namespace {

// The panes whose contents scroll: they can show less at once and lose
// nothing. Everything else keeps its designed size.
bool isPane(const ControlSpec& c) {
    switch (c.kind) {
        case ControlKind::ListView:
        case ControlKind::HtmlView:
            return true;
        case ControlKind::EditBox:
        case ControlKind::RichTextBox:
            return c.verticalScrollBar;
        default:
            return false;
    }
}

// One axis of a control: where it starts and how long it is.
struct Span {
    int* start;
    int* length;
};

Span horizontal(Rect& r) {
    return Span{&r.left, &r.width};
}
Span vertical(Rect& r) {
    return Span{&r.top, &r.height};
}

// Takes what is missing on one axis from the giving panes, each the same
// amount and none below its minimum, and moves every control that starts at
// or beyond a giving pane's far edge back by as much.
void give(std::vector<Rect>& rects, const std::vector<bool>& giving, Span (*axis)(Rect&), int missing,
          int minimum) {
    int amount = missing;
    for (std::size_t i = 0; i < rects.size(); ++i)
        if (giving[i]) amount = std::min(amount, *axis(rects[i]).length - minimum);
    if (amount <= 0) return;
    const std::vector<Rect> designed = rects;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        Rect own = designed[i];
        if (giving[i]) *axis(rects[i]).length -= amount;
        for (std::size_t p = 0; p < rects.size(); ++p) {
            Rect pane = designed[p];
            if (giving[p] && p != i && *axis(own).start >= *axis(pane).start + *axis(pane).length) {
                *axis(rects[i]).start -= amount;
                break;
            }
        }
    }
}

}  // namespace

FittedLayout fitLayout(const WindowSpec& spec, OuterSize needed, OuterSize area) {
    FittedLayout fitted;
    std::vector<bool> panes;
    for (const ControlSpec& c : spec.controls) {
        fitted.controls.push_back(Rect{c.left, c.top, c.width, c.height});
        panes.push_back(isPane(c));
    }
    // Panes side by side each give all of the missing height.
    give(fitted.controls, panes, vertical, needed.height - area.height, kMinPaneHeight);
    // Panes in a row would each give a share of the width, and the controls
    // above and below them would collide; the widest pane alone gives it.
    std::vector<bool> widest(panes.size(), false);
    int widestAt = -1;
    for (std::size_t i = 0; i < panes.size(); ++i) {
        if (panes[i] && (widestAt < 0 || fitted.controls[i].width > fitted.controls[widestAt].width))
            widestAt = static_cast<int>(i);
    }
    if (widestAt >= 0) widest[widestAt] = true;
    give(fitted.controls, widest, horizontal, needed.width - area.width, kMinPaneWidth);
    // The window keeps its designed margins around the controls.
    int right = 0, bottom = 0, fittedRight = 0, fittedBottom = 0;
    for (std::size_t i = 0; i < fitted.controls.size(); ++i) {
        const ControlSpec& c = spec.controls[i];
        const Rect& r = fitted.controls[i];
        right = std::max(right, c.left + c.width);
        bottom = std::max(bottom, c.top + c.height);
        fittedRight = std::max(fittedRight, r.left + r.width);
        fittedBottom = std::max(fittedBottom, r.top + r.height);
    }
    fitted.outer =
        OuterSize{spec.outerWidth - (right - fittedRight), spec.outerHeight - (bottom - fittedBottom)};
    return fitted;
}

double fitPageScale(int pageWidth, int pageHeight, OuterSize area) {
    const int roomWidth = area.width - kDesignFrame.width, roomHeight = area.height - kDesignFrame.height;
    if (pageWidth <= 0 || pageHeight <= 0 || (roomWidth >= pageWidth && roomHeight >= pageHeight)) return 1.0;
    const double scale =
        std::min(static_cast<double>(roomWidth) / pageWidth, static_cast<double>(roomHeight) / pageHeight);
    return std::max(scale, kMinPageScale);
}

FittedLayout fitToScreen(WindowId window, OuterSize needed) {
    const Rect area = platform().workArea(window);
    FittedLayout fitted = fitLayout(windowSpec(window), needed, OuterSize{area.width, area.height});
    for (std::size_t i = 0; i < fitted.controls.size(); ++i) {
        const ControlRef control{window, static_cast<int>(i)};
        const Rect now = platform().controlRect(control);
        const Rect& want = fitted.controls[i];
        if (now.left != want.left || now.top != want.top || now.width != want.width ||
            now.height != want.height)
            platform().setControlRect(control, want);
    }
    return fitted;
}

namespace {

void fitBankWindow(bool resize) {
    const WindowSpec& spec = bankWindow::spec;
    const FittedLayout fitted = fitToScreen(WindowId::Bank, OuterSize{spec.outerWidth, spec.outerHeight});
    if (resize || fitted.outer.width != spec.outerWidth || fitted.outer.height != spec.outerHeight)
        platform().setWindowSize(WindowId::Bank, fitted.outer.width, fitted.outer.height);
}

}  // namespace

// The designed size stays untouched wherever it fits.
void fitBankWindow() {
    fitBankWindow(false);
}

void refitBankWindow() {
    fitBankWindow(true);
}
