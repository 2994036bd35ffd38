// The bank list's row marks on the Win32 list view: a small icon at the
// start of a row (an image list drawn in code; the list asks for a row's
// image as it draws it) and the tooltip shown when the pointer rests on the
// row, both kept with the row (runtime/win32/virtual_list.h), and showing a
// row chosen by the program. The row's text is never touched.
#pragma once

#include <windows.h>

#include "runtime/platform.h"

namespace win32 {

void setRowMark(ControlRef list, int row, RowMark mark, const Text& tooltip);
// Selects the row and scrolls it into view. Only clicks raise the program's
// list events, so nothing is raised.
void showRow(ControlRef list, int row);
}  // namespace win32
