// OLE on the GUI thread, started when the first control that needs it is
// made: the rich-text box (drag and drop) and the HTML view's web browser.
// Started at the program's start, it would load COM before the bank window,
// which needs none of it.
#pragma once

namespace win32 {

void startOle();  // on the GUI thread; once, later calls do nothing
void endOle();    // at the end of the program, if it was started

}  // namespace win32
