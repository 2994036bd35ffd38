#include "runtime/win32/rich_text.h"

#include <richedit.h>

#include "runtime/win32/dpi_scaling.h"
#include "runtime/win32/ole_apartment.h"
#include "runtime/win32/wide_text.h"

namespace win32 {

namespace {

constexpr UINT kUtf16CodePage = 1200;
constexpr std::uint32_t kAutomaticColour = 0xFF000000;
constexpr int kTwipsPerPoint = 20;

void loadRichEditLibrary() {
    static bool loaded = false;
    if (!loaded) loaded = LoadLibraryW(L"riched20.dll") != nullptr;
}

void setUnicodeText(HWND box, const wchar_t* text, DWORD flags) {
    SETTEXTEX how{flags, kUtf16CodePage};
    SendMessageW(box, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text));
}

}  // namespace

HWND createRichTextBox(HWND parent, DWORD style, DWORD exStyle, int left, int top, int width, int height,
                       int id) {
    startOle();  // before the box is made, for its drag and drop
    loadRichEditLibrary();
    HWND box = CreateWindowExW(exStyle, L"RichEdit20A", L"", style, left, top, width, height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                               nullptr);
    if (box != nullptr) SendMessageW(box, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    return box;
}

Text richText(HWND box) {
    GETTEXTLENGTHEX measure{GTL_NUMCHARS | GTL_PRECISE | GTL_USECRLF, kUtf16CodePage};
    const auto length =
        static_cast<int>(SendMessageW(box, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&measure), 0));
    if (length <= 0) return Text();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GETTEXTEX how{};
    how.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    how.flags = GT_USECRLF;
    how.codepage = kUtf16CodePage;
    const auto copied = static_cast<int>(SendMessageW(box, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how),
                                                      reinterpret_cast<LPARAM>(text.data())));
    return fromWide(text.data(), copied);
}

void setRichText(HWND box, const Text& text) {
    setUnicodeText(box, toWide(text).c_str(), ST_DEFAULT);
}

void setRichTextDefaultFormat(HWND box, const CharFormat& format, int dpi) {
    // The wide structure carries the face name in UTF-16, so "宋体" is found
    // whatever the system's ANSI code page is.
    CHARFORMATW chars{};
    chars.cbSize = sizeof(chars);
    chars.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_SIZE |
                   CFM_COLOR | CFM_FACE | CFM_OFFSET;
    // Bits 0 to 4 of the program's effects are the system's bold, italic,
    // underline, strike-out and protected effects.
    chars.dwEffects = static_cast<DWORD>(format.effects) &
                      (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT | CFE_PROTECTED);
    chars.yHeight = MulDiv(format.size * kTwipsPerPoint, dpi, systemDpi());
    chars.yOffset = format.offset * kTwipsPerPoint;
    if (format.colour == kAutomaticColour) {
        chars.dwEffects |= CFE_AUTOCOLOR;
    } else {
        chars.crTextColor = format.colour;
    }
    std::wstring face = toWide(format.faceName);
    if (face.size() >= LF_FACESIZE) face.resize(LF_FACESIZE - 1);
    face.copy(chars.szFaceName, face.size());
    SendMessageW(box, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&chars));
}

void rescaleRichText(HWND box, int fromDpi, int toDpi) {
    if (fromDpi == toDpi || fromDpi <= 0) return;
    CHARFORMATW chars{};
    chars.cbSize = sizeof(chars);
    SendMessageW(box, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&chars));
    chars.dwMask = CFM_SIZE;
    chars.yHeight = MulDiv(chars.yHeight, toDpi, fromDpi);
    SendMessageW(box, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&chars));
    SendMessageW(box, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&chars));
}

void insertRichTextUnicode(HWND box, const std::u16string& text) {
    if (text.empty()) return;
    // Inserted text takes the format of the insertion point, which may still
    // be that of text removed before; give it the default format.
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    SendMessageW(box, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageW(box, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    std::wstring wide(reinterpret_cast<const wchar_t*>(text.data()), text.size());
    setUnicodeText(box, wide.c_str(), ST_SELECTION);
}

}  // namespace win32
