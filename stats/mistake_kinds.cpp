// Mistake kinds. Both spellings are folded to lower case without blanks and
// hyphens, a confused ending is cut off first, and the rest is aligned by
// edit distance with adjacent transpositions (optimal string alignment);
// each edit of the cheapest alignment then names its kind.
#include "stats/mistake_kinds.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

// Longer than this, an alignment costs more than the page is worth; such a
// text differing in any way is counted as a different text.
constexpr std::size_t kLongestAligned = 200;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '-';
}

Text folded(const Text& text) {
    Text result;
    for (char c : text) {
        if (isBlank(c)) continue;
        result += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return result;
}

bool isVowel(char c) {
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u';
}

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// Endings learners confuse; longer ones first so that -isation is not taken
// for -ation.
const std::vector<std::vector<std::string_view>> kEndingGroups = {
    {"isation", "ization"}, {"ising", "izing"}, {"ised", "ized"}, {"ance", "ence"}, {"ancy", "ency"},
    {"able", "ible"},       {"tion", "sion"},   {"ise", "ize"},   {"ant", "ent"},   {"er", "or", "ar"},
};

// Cuts a confused ending off both texts; false when there is none.
bool cutConfusedEnding(Text& typed, Text& expected) {
    for (const auto& group : kEndingGroups) {
        for (std::string_view right : group) {
            if (!endsWith(expected, right) || expected.size() <= right.size() + 1) continue;
            for (std::string_view wrong : group) {
                if (wrong == right || !endsWith(typed, wrong)) continue;
                typed.resize(typed.size() - wrong.size());
                expected.resize(expected.size() - right.size());
                return true;
            }
        }
    }
    return false;
}

bool sameNeighbour(const Text& text, std::size_t at) {
    return (at > 0 && text[at - 1] == text[at]) || (at + 1 < text.size() && text[at + 1] == text[at]);
}

// The kinds of the cheapest alignment's edits, and how many edits there are.
MistakeKinds alignedKinds(const Text& typed, const Text& expected, int& edits) {
    const std::size_t n = typed.size(), m = expected.size();
    // One block for the whole table: the page classifies thousands of answers.
    std::vector<int> cells((n + 1) * (m + 1));
    auto d = [&cells, m](std::size_t i) { return cells.data() + i * (m + 1); };
    for (std::size_t i = 0; i <= n; ++i) d(i)[0] = static_cast<int>(i);
    for (std::size_t j = 0; j <= m; ++j) d(0)[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= n; ++i) {
        for (std::size_t j = 1; j <= m; ++j) {
            int best = std::min({d(i - 1)[j] + 1, d(i)[j - 1] + 1,
                                 d(i - 1)[j - 1] + (typed[i - 1] == expected[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && typed[i - 1] == expected[j - 2] && typed[i - 2] == expected[j - 1])
                best = std::min(best, d(i - 2)[j - 2] + 1);
            d(i)[j] = best;
        }
    }
    edits = d(n)[m];
    MistakeKinds kinds = 0;
    std::size_t i = n, j = m;
    while (i > 0 || j > 0) {
        if (i > 0 && j > 0 && typed[i - 1] == expected[j - 1] && d(i)[j] == d(i - 1)[j - 1]) {
            --i, --j;
        } else if (i > 1 && j > 1 && typed[i - 1] == expected[j - 2] && typed[i - 2] == expected[j - 1] &&
                   d(i)[j] == d(i - 2)[j - 2] + 1) {
            kinds |= kindBit(MistakeKind::Order);
            i -= 2, j -= 2;
        } else if (i > 0 && j > 0 && d(i)[j] == d(i - 1)[j - 1] + 1) {
            const bool vowels = isVowel(typed[i - 1]) && isVowel(expected[j - 1]);
            kinds |= kindBit(vowels ? MistakeKind::Vowel : MistakeKind::Consonant);
            --i, --j;
        } else if (j > 0 && d(i)[j] == d(i)[j - 1] + 1) {
            kinds |= kindBit(sameNeighbour(expected, j - 1) ? MistakeKind::Doubling : MistakeKind::Missing);
            --j;
        } else {
            kinds |= kindBit(sameNeighbour(typed, i - 1) ? MistakeKind::Doubling : MistakeKind::Extra);
            --i;
        }
    }
    return kinds;
}

}  // namespace

MistakeKinds classifyMistake(const Text& typed, const Text& expected) {
    if (typed == expected) return 0;
    if (std::all_of(typed.begin(), typed.end(), [](char c) { return c == ' ' || c == '\t'; }))
        return kindBit(MistakeKind::Unanswered);
    Text a = folded(typed), b = folded(expected);
    if (a == b) return kindBit(MistakeKind::CaseOrBlank);
    if (a.size() > kLongestAligned || b.size() > kLongestAligned) return kindBit(MistakeKind::Many);

    MistakeKinds kinds = 0;
    int edits = 0;
    const std::size_t wordLength = b.size();
    if (cutConfusedEnding(a, b)) {
        kinds |= kindBit(MistakeKind::Ending);
        edits = 1;
    }
    if (a != b) {
        int more = 0;
        kinds |= alignedKinds(a, b, more);
        edits += more;
    }
    // Three slips, or more than half the letters, and it is another word.
    if (edits >= 3 || static_cast<std::size_t>(edits) * 2 > wordLength) return kindBit(MistakeKind::Many);
    return kinds;
}

Text mistakeKindName(MistakeKind kind) {
    switch (kind) {
        case MistakeKind::Doubling:
            return "双写";
        case MistakeKind::Order:
            return "顺序";
        case MistakeKind::Vowel:
            return "元音";
        case MistakeKind::Ending:
            return "词尾";
        case MistakeKind::Missing:
            return "漏字母";
        case MistakeKind::Extra:
            return "多字母";
        case MistakeKind::Consonant:
            return "辅音";
        case MistakeKind::CaseOrBlank:
            return "大小写与空格";
        case MistakeKind::Many:
            return "多处";
        case MistakeKind::Unanswered:
            return "未作答";
        case MistakeKind::count:
            break;
    }
    return Text();
}
