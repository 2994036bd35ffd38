#pragma once

#include "runtime/bytes.h"
#include "runtime/platform.h"

CharFormat phoneticCharFormat();  // "宋体", 15 points, blue
// Applies the phonetic format as the box's default and inserts the UTF-16
// text (a leading FF FE byte-order mark is dropped) at the caret.
void showUnicodeInRichText(ControlRef box, const Bytes& utf16);
