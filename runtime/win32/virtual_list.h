// The list views' rows, kept by the program and handed to the list only when
// it draws or is asked about a row (LVS_OWNERDATA). The list itself holds
// just the number of rows and their selection, so filling it costs one
// message whatever its length: under Wine every message to the list costs
// this program about a tenth of a millisecond, and inserting rows one by
// one made the bank window's start grow with the number of banks.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "runtime/text.h"

namespace win32 {

struct ListRow {
    std::wstring text;  // column 0; the list has no other column with text
    int image = 0;      // 0: no mark
    std::wstring tip;
};

struct ListRows {
    std::vector<ListRow> rows;
    int countShown = 0;  // the row count the list view was last told
    bool marksReady = false;
    bool drawn = false;  // painted at least once: later changes must be redrawn
};

// Appends a row; the list view learns the new count before it next handles
// any message. Returns the row's index.
int appendListRow(HWND list, const Text& text);
bool removeListRow(HWND list, int row);
// The rows of a list that has had any, else nullptr.
ListRows* listRowsOf(HWND list);
const ListRow* listRow(HWND list, int row);

// Answers for the list view's parent: a row's text and image
// (LVN_GETDISPINFOW), its tooltip (LVN_GETINFOTIPW) and the row whose text
// begins with what the learner types (LVN_ODFINDITEMW).
void answerRowRequest(const NMHDR& header);
void answerRowTipRequest(const NMHDR& header);
LRESULT answerFindRequest(const NMHDR& header);

}  // namespace win32
