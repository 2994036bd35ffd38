// The dictionary lookup for the word being asked: the British phonetics go
// to the rich-text box as Unicode (IPA letters do not exist in GBK), the
// meaning list goes to the HTML view as GBK text.
#include "lookup/dictionary_lookup.h"

#include "app/quiz_state.h"
#include "lookup/byte_search.h"
#include "lookup/extract.h"
#include "lookup/hosts.h"
#include "lookup/http_client.h"
#include "lookup/pronunciation_cache.h"
#include "lookup/rich_text.h"
#include "lookup/text_conversion.h"
#include "runtime/platform.h"
#include "ui/main_window_layout.h"

const char* const kPhoneticFailureText = "未获取到音标，请检查[当前单词]是否错误";

namespace {

// Searched in the raw UTF-8 page, so written as bytes: "<span>英 " in UTF-8.
const Bytes kPrimaryStart("\x3C\x73\x70\x61\x6E\x3E\xE8\x8B\xB1\x20", 10);
const Bytes kFallbackStart = "<div class=\"base-speak\">";
const Bytes kPhoneticEnd = "</span>";
// The fallback marker only counts when its "</span>" follows this closely.
constexpr int kFallbackWindow = 400;

// The meaning list is searched for in the page's first MiB only, counted from
// the page's start so that a list before the phonetics is found as ever. A
// word page of the dictionary is a few hundred KB with the list near its
// top, right after the phonetics, so every real page is searched whole; a
// hostile page of up to 8 MiB costs the conversion and search of one MiB.
constexpr std::size_t kMeaningSearchBytes = 1024 * 1024;
const Text kMeaningStart = "class=..>";
const Text kMeaningEnd = "</ul>";

const Bytes kByteOrderMark("\xFF\xFE", 2);
const Bytes kReplacementChar("\xFD\xFF", 2);
const Bytes kTwoBlanks("\x20\x00\x20\x00", 4);
const Bytes kSpanTag("<\0s\0p\0a\0n\0>\0", 12);
const Bytes kLineFeed("\x0A\x00", 2);

// The piece between the markers as UTF-16, cut to twice the piece's byte
// length: that drops the terminating zero unit of a plain ASCII piece.
Bytes phoneticPiece(const Bytes& page, int start, int length) {
    Bytes piece = midBytes(page, start, length);
    Bytes utf16 = utf8BytesToUtf16(piece);
    // Counted in size_t: twice a piece's length need not fit an int.
    if (utf16.size() > 2 * piece.size()) utf16.resize(2 * piece.size());
    return utf16;
}

// The page's first kMeaningSearchBytes, cut back to the start of a UTF-8
// character, so that the converted text is a prefix of what the whole page
// would give.
Bytes meaningSearchWindow(const Bytes& page) {
    if (page.size() <= kMeaningSearchBytes) return page;
    std::size_t end = kMeaningSearchBytes;
    for (int k = 0; k < 3 && (static_cast<unsigned char>(page[end]) & 0xC0) == 0x80; ++k) --end;
    return page.substr(0, end);
}

// The text up to the end of its last "</ul>" (in any letter case), or empty
// when there is none. A match must end with one, so the result is the same,
// but the lazy "(.*?)" of a list that never closes no longer runs on to the
// end of the text from every "class=..>": on a page made of such openings
// the engine works for seconds before it gives up.
Text throughLastListEnd(const Text& text) {
    // Lower-casing ASCII letters moves no byte, and no GBK character holds
    // a '<', so a position found in the copy is one in the text.
    Text lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const std::size_t at = lower.rfind(kMeaningEnd);
    return at == Text::npos ? Text() : text.substr(0, at + kMeaningEnd.size());
}

void showPhonetics(const Bytes& page) {
    ControlRef box = mainWindow::ctl(mainWindow::超级编辑框1);

    int p1 = findBytes(page, kPrimaryStart, 1);
    int p2 = findBytes(page, kPhoneticEnd, p1);
    if (p1 != -1) {
        const int markerLength = byteLength(kPrimaryStart);
        Bytes text = kByteOrderMark + phoneticPiece(page, p1 + markerLength, p2 - p1 - markerLength);
        text = replaceBytes(text, kReplacementChar);
        showUnicodeInRichText(box, text);
        return;
    }

    p1 = findBytes(page, kFallbackStart, 1);
    p2 = findBytes(page, kPhoneticEnd, p1);
    if (p1 != -1 && p2 - p1 < kFallbackWindow) {
        const int markerLength = byteLength(kFallbackStart);
        Bytes text = phoneticPiece(page, p1 + markerLength, p2 - p1 - markerLength);
        text = replaceBytes(text, kReplacementChar);
        text = replaceBytes(text, kTwoBlanks);
        text = replaceBytes(text, kSpanTag);
        text = replaceBytes(text, kLineFeed);
        showUnicodeInRichText(box, kByteOrderMark + text);
        return;
    }

    showUnicodeInRichText(box, Bytes());
    platform().setControlText(box, kPhoneticFailureText);
    platform().navigateHtml(mainWindow::ctl(mainWindow::超文本浏览框1), "about:blank");
}

}  // namespace

Text dictionaryUrl(const Text& word) {
    return "http://" + dictionaryHost() + "/" + word;
}

void prepareWord(const Text& entry) {
    platform().setControlText(mainWindow::ctl(mainWindow::超级编辑框1), "");
    Bytes page = fetchUrl(dictionaryUrl(entry), kMaxPageBytes);
    showPhonetics(page);

    Text pageText = utf8ToGbk(bytesToText(meaningSearchWindow(page)));
    platform().setControlText(mainWindow::ctl(mainWindow::拼写标签), entry);
    Text meanings = extractBetween(throughLastListEnd(pageText), kMeaningStart, kMeaningEnd);
    currentWord.meaningHtml = meanings;
    Text soundFile = cachePronunciation(entry);

    currentWord.meaningHtml = meanings;
    currentWord.soundFile = soundFile;
    currentWord.word = entry;
}

void showMeanings(const Text& meanings) {
    // A view without a document or body keeps what it showed.
    platform().setHtmlBody(mainWindow::ctl(mainWindow::超文本浏览框1), meanings);
    platform().setControlText(mainWindow::ctl(mainWindow::拼写标签), currentWord.word);
}
