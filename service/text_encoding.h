// Byte-level text helpers for request targets, which arrive as UTF-8 from
// Linux and as GBK (code page 936) from Windows, raw or %-escaped.
#pragma once

#include <string>
#include <vector>

namespace service {

bool isValidUtf8(const std::string& bytes);
// UTF-8 to code points; false on a malformed, overlong or surrogate sequence.
bool decodeUtf8(const std::string& bytes, std::u32string& out);
std::string encodeUtf8(const std::u32string& text);
// GBK bytes to UTF-8; bytes that are not GBK become U+FFFD.
std::string gbkToUtf8(const std::string& bytes);
// UTF-8 as it is, anything else read as GBK.
std::string toUtf8(const std::string& bytes);
// Replaces each %XX with its byte; a % not followed by two hex digits stays.
std::string percentDecode(const std::string& text);
// Control characters (NUL included) become blanks; blanks at both ends go.
std::string cleanWord(const std::string& utf8);
// At most maxBytes bytes, never cutting a UTF-8 sequence in two.
std::string clipUtf8(const std::string& utf8, size_t maxBytes);
std::string htmlEscape(const std::string& text);
// A-Z to a-z; every other byte as it is.
std::string lowerAscii(std::string text);
// The words of a text, split at runs of blanks and tabs.
std::vector<std::string> blankSeparatedWords(const std::string& text);

}  // namespace service
