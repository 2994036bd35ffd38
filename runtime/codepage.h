// Code-page conversion with the semantics of the Windows functions
// MultiByteToWideChar / WideCharToMultiByte (flags 0). Code page 0 is the
// program's own code page, which is always 936 (GBK) so the program behaves
// the same under any system locale. With outCapacity 0 the functions return
// the size the output needs; a length of -1 reads up to and including the
// terminating zero. Invalid UTF-8 becomes U+FFFD; characters missing from
// GBK become '?'. Return 0 on failure.
#pragma once

#include <string>

constexpr int kCodePageAnsi = 0;
constexpr int kCodePageGbk = 936;
constexpr int kCodePageUtf8 = 65001;

int multiByteToWide(int codePage, const char* input, int inputLength, char16_t* output, int outputCapacity);
int wideToMultiByte(int codePage, const char16_t* input, int inputLength, char* output, int outputCapacity);

// Convenience for the platform layers: whole-string conversions (no terminator).
std::u16string gbkToUtf16(const std::string& text);
std::string utf16ToGbk(const std::u16string& text);
std::string gbkToUtf8(const std::string& text);
std::string utf8ToGbkText(const std::string& utf8);
std::string utf16ToUtf8(const std::u16string& text);
std::u16string utf8ToUtf16(const std::string& utf8);
