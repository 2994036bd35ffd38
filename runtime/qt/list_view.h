// The report-style list: columns with a header, rows of cells, one selection.
#pragma once

#include "runtime/platform.h"

namespace qtport {

int insertColumn(ControlRef list, const Text& title, int width);
void setColumnWidth(ControlRef list, int column, int width);
int insertRow(ControlRef list, const Text& text);
Text cellText(ControlRef list, int row, int column);
void deleteRow(ControlRef list, int row);
int selectedRow(ControlRef list);

}  // namespace qtport
