// Program texts (GBK) to and from the UTF-16 of the wide Win32 API. The
// conversion always goes through code page 936, never the system's ANSI
// code page, so Chinese texts show correctly under any system locale.
#pragma once

#include <string>

#include "runtime/text.h"

namespace win32 {

std::wstring toWide(const Text& text);
Text fromWide(const wchar_t* text, int length);
Text fromWide(const std::wstring& text);

}  // namespace win32
