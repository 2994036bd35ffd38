// The controls of a window: building each from its layout entry, and the
// generic operations the program performs on them.
#pragma once

#include <QWidget>

#include "runtime/platform.h"

namespace qtport {

QWidget* createControl(const ControlSpec& spec, ControlRef ref, QWidget* parent);

Text controlText(ControlRef control);
void setControlText(ControlRef control, const Text& text);
bool isChecked(ControlRef control);
// Hidden controls keep their contents; showing one shows what was written.
void setVisible(ControlRef control, bool visible);
void setEnabled(ControlRef control, bool enabled);
Rect controlRect(ControlRef control);
void setControlRect(ControlRef control, const Rect& rect);
void setProgress(ControlRef bar, int position);

}  // namespace qtport
