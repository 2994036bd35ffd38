// ECDICT's and espeak-ng's transcriptions turned into the learners'-
// dictionary notation. Each source has its own spelling of the sounds; both
// end in the shared word rules of phonetic_symbols.cpp.
#include "service/phonetic_notation.h"

#include <algorithm>

#include "service/phonetic_overrides.h"
#include "service/phonetic_symbols.h"
#include "service/text_encoding.h"

namespace service {

namespace {

// Longer fields are debris, not a transcription.
constexpr std::size_t kMaxFieldBytes = 300;

using Words = std::vector<PhoneticWord>;

constexpr std::u32string_view kPlainConsonants = U"pbtdkɡfvθðszʃʒhmnŋlrjw";

bool isStressSign(char32_t c) {
    return c == U'\'' || c == U'ˈ' || c == U'ˌ' || c == U'.' || c == U',';
}

char32_t firstSound(const std::u32string& form) {
    for (const char32_t c : form)
        if (!isStressSign(c) && c != U' ') return c;
    return 0;
}

bool hasPrimary(const std::u32string& form) {
    return form.find(U'\'') != std::u32string::npos || form.find(U'ˈ') != std::u32string::npos;
}

// One form of an ECDICT field from at on, up to the next alternative: ECDICT
// separates them by ". " or ", ", and sometimes by a bare "." ("bæθ.bɑ:θ",
// "ә'bju:s.ә'bju:z"); elsewhere "." and "," are secondary stress marks
// (".ju:ni'vә:siti", "'teli.viʒәn"). at ends past the separator.
std::u32string nextForm(const std::u32string& field, std::size_t& at) {
    std::u32string form;
    for (; at < field.size(); ++at) {
        const char32_t c = field[at];
        if (c != U'.' && c != U',') {
            form += c;
            continue;
        }
        if (firstSound(form) == 0) {  // a leading mark: ".ju:ni'vә:siti", ", fәutәu..."
            form += U'ˌ';
            while (at + 1 < field.size() && field[at + 1] == U' ') ++at;
            continue;
        }
        if (at + 1 < field.size() && field[at + 1] == U' ') break;
        const std::size_t next = field.find_first_of(U".,", at + 1);
        const std::u32string right =
            field.substr(at + 1, next == std::u32string::npos ? next : next - at - 1);
        const std::size_t blank = form.rfind(U' ');
        const std::u32string left = form.substr(blank == std::u32string::npos ? 0 : blank + 1);
        if (firstSound(left) != 0 && firstSound(left) == firstSound(right) &&
            hasPrimary(left) == hasPrimary(right))
            break;
        // What follows is a fragment of an alternative: "'ɔ:lbәn,'æl-".
        if (right.find(U'-') != std::u32string::npos) break;
        form += U'ˌ';
    }
    ++at;
    while (!form.empty() && form.back() == U' ') form.pop_back();
    while (!form.empty() && form.front() == U' ') form.erase(0, 1);
    return form;
}

// A form with every BATH vowel written short: the American twin of a British
// form has the same key.
std::u32string bathKey(const std::u32string& form) {
    std::u32string key;
    for (std::size_t i = 0; i < form.size(); ++i) {
        if (form[i] != U'ɑ') {
            key += form[i];
            continue;
        }
        key += U'æ';
        if (i + 1 < form.size() && (form[i + 1] == U':' || form[i + 1] == U'ː')) ++i;
    }
    return key;
}

// The British form of an ECDICT field. ECDICT puts it first ("; (?@) ..."
// follows with the American one), except where the two differ only in the
// BATH vowel ("bæθ.bɑ:θ", "tʃæns. tʃɑ:ns"). Empty when the form is only a
// fragment ("-dәkt").
std::u32string britishForm(std::u32string field, bool hyphenatedWord) {
    field = field.substr(0, field.find(U';'));
    // No-break spaces, and the acute and grave accents some entries use as
    // stress marks.
    for (char32_t& c : field) {
        if (c == U'\u00A0') c = U' ';
        if (c == U'ˊ') c = U'ˈ';
        if (c == U'ˋ') c = U'ˌ';
    }
    // Enclosing brackets or slashes.
    while (!field.empty() && field.back() == U' ') field.pop_back();
    while (!field.empty() && field.front() == U' ') field.erase(0, 1);
    if (field.size() >= 2 &&
        ((field.front() == U'[' && field.back() == U']') || (field.front() == U'/' && field.back() == U'/')))
        field = field.substr(1, field.size() - 2);
    // Optional sounds, "(r)" and "(h)", are left out as Oxford's readers would.
    for (std::size_t open; (open = field.find(U'(')) != std::u32string::npos;) {
        const std::size_t close = field.find(U')', open);
        if (close == std::u32string::npos || close - open > 3) return {};
        field.erase(open, close - open + 1);
    }
    std::size_t at = 0;
    std::u32string form = nextForm(field, at);
    while (at < field.size()) {
        const std::u32string other = nextForm(field, at);
        if (form.find(U'ɑ') == std::u32string::npos && other.find(U'ɑ') != std::u32string::npos &&
            bathKey(other) == form)
            form = other;
    }
    // The hyphen of a hyphenated word parts its words; any other belongs to
    // a fragment.
    if (hyphenatedWord && !form.empty() && form.front() != U'-' && form.back() != U'-')
        std::replace(form.begin(), form.end(), U'-', U' ');
    if (form.find(U'-') != std::u32string::npos) return {};
    return form;
}

bool isVowelLetter(char32_t c) {
    return std::u32string_view(U"aeiouəәɑɒɔɜʌæɪʊєε:ː").find(c) != std::u32string_view::npos;
}

// ECDICT writes j for a lost ʊ: "әj'kei" (okay), "'mjzlim", "pә'tikjjlәli".
// A j after ə or a that no vowel follows, or one between consonants, is
// that ʊ; of "jj" the second.
bool isDebrisJ(const std::u32string& form, std::size_t i) {
    if (i == 0) return false;
    const char32_t before = form[i - 1];
    const char32_t after = i + 1 < form.size() ? form[i + 1] : 0;
    if (before == U'j') return true;
    if (after == U'j' || isVowelLetter(after)) return false;
    if (before == U'ə' || before == U'ә' || before == U'a') return true;
    return !isVowelLetter(before) && !isStressSign(before) && before != U' ';
}

// Look-alike letters and encoding debris in ECDICT, put right before the
// symbols are read: Cyrillic ә and є, "^" for ɡ, backslashes before ":" for ɜː.
std::u32string normaliseDictionaryText(const std::u32string& form) {
    std::u32string out;
    for (std::size_t i = 0; i < form.size(); ++i) {
        char32_t c = form[i];
        if (c == U'\\') {
            std::size_t k = i;
            while (k < form.size() && form[k] == U'\\') ++k;
            if (k == form.size() || form[k] != U':') return {};
            out += U"ɜ";
            i = k - 1;  // the ":" follows as the length mark
            continue;
        }
        if (c == U'j' && isDebrisJ(form, i)) c = U'ʊ';
        switch (c) {
            case U'ә':
                c = U'ə';
                break;
            case U'y':
                c = U'i';
                break;
            case U'є':
            case U'ε':
            case U'ɛ':
                c = U'e';
                break;
            case U'^':
            case U'g':
                c = U'ɡ';
                break;
            case U':':
                c = U'ː';
                break;
            case U'\'':
                c = U'ˈ';
                break;
            default:
                break;
        }
        out += c;
    }
    return out;
}

// A tokenizer shared by both sources: it walks the code points and lets each
// source's reader turn the next few into one symbol.
struct Reader {
    const std::u32string& text;
    std::size_t at = 0;
    char32_t peek(std::size_t ahead) const { return at + ahead < text.size() ? text[at + ahead] : 0; }
};

bool isIOrSmallI(char32_t c) {
    return c == U'i' || c == U'ɪ';
}
bool isUOrSmallU(char32_t c) {
    return c == U'u' || c == U'ʊ';
}

// A schwa that is a diphthong's second half: not ɜː, not the start of əʊ.
bool schwaAhead(const Reader& r) {
    const char32_t after = r.peek(2);
    return r.peek(1) == U'ə' && after != U'ː' && after != U'u' && after != U'ʊ';
}

// One vowel of ECDICT's mixed old and new notation; empty when c starts none.
PhoneticSymbol dictionaryVowel(Reader& r, bool shortBeforeR) {
    const char32_t c = r.peek(0), n = r.peek(1);
    auto take = [&](std::size_t count, PhoneticSymbol s) {
        r.at += count;
        return s;
    };
    switch (c) {
        case U'e':
            if (isIOrSmallI(n)) return take(2, U"eɪ");
            if (schwaAhead(r) || n == U'ː') return take(2, U"eə");
            return take(1, U"e");
        case U'a':
            if (isIOrSmallI(n)) return take(2, U"aɪ");
            if (isUOrSmallU(n)) return take(2, U"aʊ");
            if (n == U'ː') return take(2, U"ɑː");
            return take(1, U"æ");
        case U'ɑ':
            return take(n == U'ː' ? 2 : 1, U"ɑː");
        case U'ɔ':
        case U'ɒ':
            if (isIOrSmallI(n)) return take(2, U"ɔɪ");
            // "ɒ:" is ɔː, except before r in words like tomorrow (tә'mɒ:rәu).
            if (n == U'ː') return r.peek(2) == U'r' && shortBeforeR ? take(2, U"ɒ") : take(2, U"ɔː");
            return take(1, U"ɒ");
        case U'o':
            if (isUOrSmallU(n)) return take(2, U"əʊ");
            if (n == U'ː') return take(2, U"ɔː");
            return take(1, U"ɒ");
        case U'ə':
            if (isUOrSmallU(n)) return take(2, U"əʊ");
            if (n == U'ː') return take(2, U"ɜː");
            return take(1, U"ə");
        case U'ɜ':
            return take(n == U'ː' ? 2 : 1, U"ɜː");
        case U'i':
            if (n == U'ː') return take(2, U"iː");
            if (schwaAhead(r)) return take(2, kIThenSchwa);
            return take(1, kShortI);
        case U'ɪ':
            return schwaAhead(r) ? take(2, U"ɪə") : take(1, U"ɪ");
        case U'u':
            if (n == U'ː') return take(2, U"uː");
            if (schwaAhead(r)) return take(2, kUThenSchwa);
            return take(1, kShortU);
        case U'ʊ':
            return schwaAhead(r) ? take(2, U"ʊə") : take(1, U"ʊ");
        case U'ʌ':
            return take(1, U"ʌ");
        case U'æ':
            return take(1, U"æ");
        default:
            return {};
    }
}

// The consonants both sources write alike, tʃ and dʒ included.
PhoneticSymbol plainConsonant(Reader& r) {
    const char32_t c = r.peek(0), n = r.peek(1);
    if ((c == U't' && n == U'ʃ') || (c == U'd' && n == U'ʒ')) {
        r.at += 2;
        return {c, n};
    }
    if (kPlainConsonants.find(c) == std::u32string_view::npos) return {};
    r.at += 1;
    return {c};
}

// Splits text into words of symbols; a reader turns the next code points
// into one symbol, or returns false at a code point it does not know.
template <typename ReadSymbol>
bool readWords(const std::u32string& text, Words& words, ReadSymbol readSymbol) {
    Reader r{text};
    words.assign(1, {});
    while (r.at < text.size()) {
        const char32_t c = r.peek(0);
        if (c == U' ') {
            if (!words.back().empty()) words.emplace_back();
            ++r.at;
        } else if (c == U'ˈ' || c == U'ˌ') {
            words.back().push_back({c});
            ++r.at;
        } else if (!readSymbol(r, words.back())) {
            return false;
        }
    }
    if (words.back().empty()) words.pop_back();
    return !words.empty();
}

}  // namespace

std::string phoneticFromDictionary(const std::string& word, const std::string& field) {
    const char* fixed = phoneticOverride(word);
    if (fixed == nullptr) fixed = phoneticOverride(lowerAscii(word));
    if (fixed != nullptr) return isBritishTranscription(fixed) ? fixed : std::string();
    std::u32string codes;
    if (field.size() > kMaxFieldBytes || !decodeUtf8(field, codes)) return {};
    const std::u32string text =
        normaliseDictionaryText(britishForm(codes, word.find('-') != std::string::npos));
    // Short ɒ before r where the spelling doubles it: tomorrow, sorry, warrior.
    const bool shortBeforeR = lowerAscii(word).find("rr") != std::string::npos;
    Words words;
    const bool read = readWords(text, words, [&](Reader& r, PhoneticWord& out) {
        // Old notation writes the h of wh-words (hwɒt, 'enihwєә); British
        // dictionaries do not.
        if (r.peek(0) == U'h' && r.peek(1) == U'w') ++r.at;
        PhoneticSymbol s = dictionaryVowel(r, shortBeforeR);
        if (s.empty()) s = plainConsonant(r);
        if (s.empty()) return false;
        out.push_back(std::move(s));
        return true;
    });
    // The happy vowel keeps its i inside any- and every- compounds: ˈeniθɪŋ.
    const std::string lower = lowerAscii(word);
    if (read && (lower.starts_with("any") || lower.starts_with("every")) && words.size() == 1) {
        const auto shortI = std::find(words[0].begin(), words[0].end(), kShortI);
        if (shortI != words[0].end()) *shortI = PhoneticSymbol{U'i'};
    }
    return read ? joinPhoneticWords(std::move(words), false) : std::string();
}

std::string phoneticFromEspeak(const std::string& ipa) {
    std::u32string codes;
    if (ipa.size() > kMaxFieldBytes || !decodeUtf8(ipa, codes)) return {};
    Words words;
    const bool read = readWords(codes, words, [](Reader& r, PhoneticWord& out) {
        const char32_t c = r.peek(0), n = r.peek(1);
        auto take = [&](std::size_t count, PhoneticSymbol s) {
            r.at += count;
            out.push_back(std::move(s));
            return true;
        };
        switch (c) {
            // Marks espeak-ng adds that the dictionaries do not print:
            // syllabic and half-long marks, a glottal stop, a stray length.
            case U'\u0329':
            case U'ˑ':
            case U'ʔ':
            case U'ː':
                ++r.at;
                return true;
            case U'ɹ':
                return take(1, U"r");
            case U'ɾ':
                return take(1, U"t");
            case U'x':
                return take(1, U"k");
            case U'ʍ':
                return take(1, U"w");
            case U'ɬ':
                return take(1, U"l");
            case U'g':
                return take(1, U"ɡ");
            // espeak-ng's en-gb gives the short a of cat also in class and
            // bath; only its long aː is the ɑː of father.
            case U'a':
                if (n == U'ɪ') return take(2, U"aɪ");
                if (n == U'ʊ') return take(2, U"aʊ");
                if (n == U'ː') return take(2, U"ɑː");
                return take(1, U"æ");
            case U'ɑ':
                return take(n == U'ː' ? 2 : 1, U"ɑː");
            case U'ɐ':
            case U'ɚ':
                return take(1, U"ə");
            case U'ᵻ':
                return take(1, U"ɪ");
            case U'ɛ':
            case U'e':
                if (n == U'ɪ') return take(2, U"eɪ");
                if (n == U'ə') return take(2, U"eə");
                return take(1, U"e");
            case U'ə':
                if (n == U'ʊ') return take(2, U"əʊ");
                if (n == U'ː') return take(2, U"ɜː");
                return take(1, U"ə");
            case U'ɜ':
                return take(n == U'ː' ? 2 : 1, U"ɜː");
            case U'i':
                if (n == U'ː') return take(2, U"iː");
                if (schwaAhead(r)) return take(2, kIThenSchwa);
                return take(1, kShortI);
            // espeak-ng writes the ɪə of here as iə; its ɪə is ɪ and ə (ˈɪdiət).
            case U'ɪ':
                return schwaAhead(r) ? take(2, kIThenSchwa) : take(1, U"ɪ");
            case U'u':
                if (n == U'ː') return take(2, U"uː");
                if (schwaAhead(r)) return take(2, kUThenSchwa);
                return take(1, kShortU);
            case U'ʊ':
                return schwaAhead(r) ? take(2, U"ʊə") : take(1, U"ʊ");
            case U'ɔ':
            case U'ɒ':
                if (n == U'ɪ') return take(2, U"ɔɪ");
                if (n == U'ː') return take(2, U"ɔː");
                return take(1, U"ɒ");
            case U'o':
                if (n == U'ː') return take(2, U"ɔː");
                return take(n == U'ʊ' ? 2 : 1, U"əʊ");
            case U'ʌ':
                return take(1, U"ʌ");
            case U'æ':
                return take(1, U"æ");
            default:
                break;
        }
        PhoneticSymbol s = plainConsonant(r);
        if (s.empty()) return false;
        out.push_back(std::move(s));
        return true;
    });
    return read ? joinPhoneticWords(std::move(words), true) : std::string();
}

}  // namespace service
