// The rich-text box: a "RichEdit20A" control whose text goes in and out as
// UTF-16, so that phonetic symbols outside GBK survive, and whose default
// character format is set from the program's CharFormat.
#pragma once

#include <windows.h>

#include <string>

#include "runtime/platform.h"

namespace win32 {

HWND createRichTextBox(HWND parent, DWORD style, DWORD exStyle, int left, int top, int width, int height,
                       int id);

Text richText(HWND box);  // GBK; characters outside GBK become '?'
void setRichText(HWND box, const Text& text);
void setRichTextDefaultFormat(HWND box, const CharFormat& format);
// Inserts at the caret, replacing the selection, without the clipboard.
void insertRichTextUnicode(HWND box, const std::u16string& text);

}  // namespace win32
