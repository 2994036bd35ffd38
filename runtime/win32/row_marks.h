// The bank list's row marks on the Win32 list view: a small icon at the
// start of a row (an image list drawn in code, each row's image asked for by
// the list through LVN_GETDISPINFO), the tooltip shown when the pointer
// rests on the row (LVN_GETINFOTIP), and showing a row chosen by the
// program. The row's text is never touched.
#pragma once

#include <windows.h>

#include "runtime/platform.h"

namespace win32 {

// Every row the list view gets or loses goes through these, so the marks
// stay with their rows; rows are inserted with I_IMAGECALLBACK.
void noteRowInserted(HWND list, int row);
void noteRowDeleted(HWND list, int row);

void setRowMark(ControlRef list, int row, RowMark mark, const Text& tooltip);
// Selects the row and scrolls it into view. Only clicks raise the program's
// list events, so nothing is raised.
void showRow(ControlRef list, int row);
// Answer a list view's LVN_GETDISPINFOW (the row's image) and
// LVN_GETINFOTIPW (its tooltip); the window procedure of the list's parent
// hands every such notification here.
void answerRowImageRequest(const NMHDR& header);
void answerRowTipRequest(const NMHDR& header);

}  // namespace win32
