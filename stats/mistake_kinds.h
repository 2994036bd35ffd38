// The kinds of spelling mistakes: a wrong answer set against the right
// spelling, letter by letter, tells whether the learner dropped a double
// letter, swapped two letters, guessed a vowel, confused an ending and so on.
#pragma once

#include "runtime/text.h"

enum class MistakeKind {
    Doubling,     // 双写: a doubled letter missed or added
    Order,        // 顺序: two adjacent letters swapped
    Vowel,        // 元音: a vowel written as another vowel
    Ending,       // 词尾: -ance/-ence, -able/-ible, -tion/-sion ...
    Missing,      // 漏字母: one letter missing
    Extra,        // 多字母: one letter added
    Consonant,    // 辅音: a consonant (or any other letter) written as another
    CaseOrBlank,  // 大小写与空格: right but for case, blanks or a hyphen
    Many,         // 多处: three or more edits, or a different word
    Unanswered,   // 未作答: nothing typed
    count
};
constexpr int kMistakeKindCount = static_cast<int>(MistakeKind::count);

// The kinds as a bit set, bit k for MistakeKind k.
using MistakeKinds = unsigned;
constexpr MistakeKinds kindBit(MistakeKind kind) {
    return 1u << static_cast<int>(kind);
}

// The kinds of one wrong answer (both GBK texts); 0 when typed is the
// expected text byte for byte.
MistakeKinds classifyMistake(const Text& typed, const Text& expected);
// The kind's short name as the statistics page shows it.
Text mistakeKindName(MistakeKind kind);
