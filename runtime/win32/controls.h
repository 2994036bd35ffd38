// Control operations of the port on Win32 controls: texts, check state,
// visibility, geometry, list-view rows and columns, progress.
#pragma once

#include "runtime/platform.h"

namespace win32 {

Text controlText(ControlRef control);
void setControlText(ControlRef control, const Text& text);
bool isChecked(ControlRef control);
void setVisible(ControlRef control, bool visible);
void setEnabled(ControlRef control, bool enabled);
Rect controlRect(ControlRef control);

int insertColumn(ControlRef list, const Text& title, int width);
void setColumnWidth(ControlRef list, int column, int width);
int insertRow(ControlRef list, const Text& text);
Text cellText(ControlRef list, int row, int column);
void deleteRow(ControlRef list, int row);
int selectedRow(ControlRef list);
void setProgress(ControlRef bar, int position);

}  // namespace win32
