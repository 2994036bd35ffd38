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
// The format's point size is meant at the window's dpi: RichEdit turns
// points into pixels at the system DPI, which a per-monitor window may not have.
void setRichTextDefaultFormat(HWND box, const CharFormat& format, int dpi);
// Every character's size, Chinese runs included (WM_SETFONT does not reach
// text RichEdit has bound to a font of its own), from one DPI to another.
void rescaleRichText(HWND box, int fromDpi, int toDpi);
// Inserts at the caret, replacing the selection, without the clipboard.
void insertRichTextUnicode(HWND box, const std::u16string& text);

}  // namespace win32
