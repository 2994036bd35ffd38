// The record exported as CSV.
#include "stats/record_csv.h"

#include <cstdio>

#include "record/learning_day.h"
#include "runtime/codepage.h"

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

bool isGbkTrail(unsigned char c) {
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

Text localTimeText(std::int64_t utcMs, int utcOffsetSeconds) {
    long long seconds = utcMs / 1000 - (utcMs % 1000 < 0 ? 1 : 0) + utcOffsetSeconds;
    long long day = seconds / 86400 - (seconds % 86400 < 0 ? 1 : 0);
    const int inDay = static_cast<int>(seconds - day * 86400);
    char clock[32];
    std::snprintf(clock, sizeof clock, " %02d:%02d:%02d", inDay / 3600, inDay / 60 % 60, inDay % 60);
    return calendarDayText(static_cast<int>(day)) + clock;
}

}  // namespace

Bytes gbkToUtf8Marked(const Text& text) {
    Bytes out;
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (c == 0x80 || c == 0xFF || i + 1 >= text.size() ||
            !isGbkTrail(static_cast<unsigned char>(text[i + 1]))) {
            // 0x80 alone is the euro sign in code page 936; the rest is no GBK.
            out += c == 0x80 ? Bytes("\xE2\x82\xAC") : Bytes(kReplacement);
            ++i;  // the byte after a bad lead is read on its own
            continue;
        }
        const std::u16string unit = gbkToUtf16(text.substr(i, 2));
        // A pair without a character decodes to the default character.
        out += unit == u"?" ? Bytes(kReplacement) : utf16ToUtf8(unit);
        i += 2;
    }
    return out;
}

Bytes csvField(const Bytes& utf8, bool guardFormula) {
    Bytes value = utf8;
    if (guardFormula && !value.empty() &&
        (value[0] == '=' || value[0] == '+' || value[0] == '-' || value[0] == '@' || value[0] == '\t' ||
         value[0] == '\r'))
        value.insert(value.begin(), '\'');
    if (value.find_first_of(",\"\r\n") == Bytes::npos) return value;
    Bytes quoted = "\"";
    for (char c : value) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

Bytes answersCsv(const std::vector<AnswerRow>& answers, int utcOffsetSeconds) {
    Bytes csv = "\xEF\xBB\xBF";
    csv += gbkToUtf8Marked("时间,词库,单词,输入,结果,提示,用时毫秒") + "\r\n";
    for (const AnswerRow& a : answers) {
        csv += localTimeText(a.utcMs, utcOffsetSeconds) + ",";
        csv += csvField(gbkToUtf8Marked(a.bank), true) + ",";
        csv += csvField(gbkToUtf8Marked(a.entry), true) + ",";
        csv += csvField(gbkToUtf8Marked(a.typed), true) + ",";
        csv += gbkToUtf8Marked(a.correct ? "对" : "错") + ",";
        csv += gbkToUtf8Marked(a.hintShown ? "是" : "否") + ",";
        csv += std::to_string(a.answerMs) + "\r\n";
    }
    return csv;
}
