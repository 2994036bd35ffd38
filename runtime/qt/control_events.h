// Raw control events reported to the event wiring: clicks, double-clicks on
// the list, and key presses in boxes that have a key handler.
#pragma once

#include <QWidget>

#include "ui/layout.h"

namespace qtport {

void wireControlEvents(QWidget* widget, const ControlSpec& spec, ControlRef ref);
// The Windows virtual-key code of a Qt key, 0 when it has none here.
int virtualKeyOf(int qtKey);

}  // namespace qtport
