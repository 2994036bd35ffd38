// The two windows, built from their layout tables: fixed frames, centred,
// the main window modeless and the word-bank window modal.
#pragma once

#include <QWidget>

#include "runtime/platform.h"
#include "runtime/text.h"
#include "ui/layout.h"

namespace qtport {

// The designed sizes are outer sizes of a Windows fixed single frame with a
// caption bar: 3-pixel borders and a 19-pixel caption. The client area, which
// holds the designed control positions, is the outer size less these, so the
// controls keep exactly the room they were designed with. The desktop's own
// decorations then come on top of the client area.
constexpr int kFrameWidth = 6;
constexpr int kFrameHeight = 25;

bool loadWindow(WindowId id, bool modal);
void closeWindow(WindowId id);
// Takes a modeless window away at once, raising none of its events: for a
// host that goes on after the program in it is done (the backend's tests
// open the main window once per suite; closing it ends the program).
void discardWindow(WindowId id);
Text windowCaption(WindowId id);
void setWindowCaption(WindowId id, const Text& caption);
// Keeps a shown window inside its screen's available area.
void setWindowSize(WindowId id, int outerWidth, int outerHeight);
// The available area of the window's screen in the layout's units: the
// largest designed outer size whose client area, with the desktop's own
// decorations around it, fits there.
Rect workArea(WindowId id);

// Null when the window is not open or the index is outside its table.
QWidget* windowFrame(WindowId id);
QWidget* controlWidget(ControlRef control);
const ControlSpec* controlSpec(ControlRef control);

}  // namespace qtport
