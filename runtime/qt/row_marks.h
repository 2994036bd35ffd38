// The bank list's row marks: a small icon at the start of a row and the
// tooltip shown when the pointer rests on it; and showing a row chosen by
// the program. The row's text is never touched.
#pragma once

#include <QIcon>

#include "runtime/platform.h"

namespace qtport {

// The mark's picture, made on first use.
const QIcon& rowMarkIcon(RowMark mark);
void setRowMark(ControlRef list, int row, RowMark mark, const Text& tooltip);
// Selects the row and scrolls it into view. The program's click handlers
// follow mouse clicks only, so nothing is raised.
void showRow(ControlRef list, int row);

}  // namespace qtport
