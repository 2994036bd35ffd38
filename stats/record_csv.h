// Every answer of the record as a CSV file for spreadsheet programs: UTF-8
// with a byte-order mark, RFC 4180 quoting, CR LF line ends.
#pragma once

#include <vector>

#include "runtime/bytes.h"
#include "stats/learning_stats.h"

// GBK to UTF-8 where a byte that is no part of a GBK character becomes
// U+FFFD instead of vanishing or turning into '?'.
Bytes gbkToUtf8Marked(const Text& text);
// One field, quoted when it must be. A text a spreadsheet would take for a
// formula (starting with = + - @, a tab or CR) gets a leading apostrophe.
Bytes csvField(const Bytes& utf8, bool guardFormula);
// The whole file; times are local, utcOffsetSeconds from UTC.
Bytes answersCsv(const std::vector<AnswerRow>& answers, int utcOffsetSeconds);
