// UTF-8, UTF-16LE and GBK conversions with the program's buffer rules.
#pragma once

#include "runtime/bytes.h"
#include "runtime/codepage.h"

Bytes utf8BytesToUtf16(const Bytes& data);  // code units + one zero unit
Bytes textToUtf16(const Text& text, int codePage = kCodePageUtf8);
Text utf16ToText(const Bytes& data, int codePage = kCodePageAnsi);
Text utf8ToGbk(const Text& utf8);
