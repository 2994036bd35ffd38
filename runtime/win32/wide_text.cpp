#include "runtime/win32/wide_text.h"

#include "runtime/codepage.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the Win32 wide API uses UTF-16 code units");

namespace win32 {

std::wstring toWide(const Text& text) {
    std::u16string converted = gbkToUtf16(text);
    return std::wstring(reinterpret_cast<const wchar_t*>(converted.data()), converted.size());
}

Text fromWide(const wchar_t* text, int length) {
    if (text == nullptr || length <= 0) return Text();
    return utf16ToGbk(
        std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length)));
}

Text fromWide(const std::wstring& text) {
    return fromWide(text.data(), static_cast<int>(text.size()));
}

}  // namespace win32
