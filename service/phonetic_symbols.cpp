// The rules both phonetic sources share, applied word by word.
#include "service/phonetic_symbols.h"

#include <algorithm>
#include <array>

#include "service/phonetic_notation.h"
#include "service/text_encoding.h"

namespace service {

namespace {

constexpr std::array<std::u32string_view, 22> kVowels = {
    U"iː", U"ɑː", U"ɔː", U"uː", U"ɜː", U"eɪ", U"aɪ", U"ɔɪ", U"aʊ", U"əʊ", U"ɪə",
    U"eə", U"ʊə", U"ɪ",  U"ʊ",  U"i",  U"u",  U"æ",  U"ʌ",  U"ɒ",  U"ə",  U"e"};
constexpr std::array<std::u32string_view, 24> kConsonants = {
    U"p", U"b", U"t", U"d", U"k", U"ɡ", U"f", U"v", U"θ", U"ð", U"s",  U"z",
    U"ʃ", U"ʒ", U"h", U"m", U"n", U"ŋ", U"l", U"r", U"j", U"w", U"tʃ", U"dʒ"};

// The consonant clusters a stressed syllable inside a word begins with, as
// British dictionaries divide syllables: a stress mark goes before the
// longest of them that ends right before the stressed vowel. s with a nasal
// or f parts (dɪsˈmɪs, trænsˈfɔːm).
constexpr std::array<std::u32string_view, 47> kOnsets = {
    U"pr", U"br", U"tr", U"dr",  U"kr",  U"ɡr",  U"fr",  U"θr",  U"ʃr",  U"pl",  U"bl", U"kl",
    U"ɡl", U"fl", U"sl", U"pj",  U"bj",  U"tj",  U"dj",  U"kj",  U"ɡj",  U"fj",  U"vj", U"θj",
    U"sj", U"zj", U"mj", U"nj",  U"hj",  U"lj",  U"tw",  U"dw",  U"kw",  U"ɡw",  U"sw", U"θw",
    U"sp", U"st", U"sk", U"spr", U"str", U"skr", U"spl", U"skw", U"spj", U"stj", U"skj"};

bool contains(const auto& list, const PhoneticSymbol& s) {
    return std::find(list.begin(), list.end(), std::u32string_view(s)) != list.end();
}

bool isMark(const PhoneticSymbol& s) {
    return s == kPrimary || s == kSecondary;
}

bool isLongVowel(const PhoneticSymbol& s) {
    return isPhoneticVowel(s) && s.size() == 2;
}

bool isLegalOnset(const PhoneticWord& word, std::size_t from, std::size_t to) {
    if (to - from == 1) return word[from] != U"ŋ";
    PhoneticSymbol joined;
    for (std::size_t i = from; i < to; ++i) {
        if (word[i].size() != 1) return false;  // tʃ and dʒ begin no cluster here
        joined += word[i];
    }
    return contains(kOnsets, joined);
}

// Moves each mark from right before its vowel to the start of the vowel's
// syllable: after the consonants that cannot begin it.
PhoneticWord moveStressToSyllableStart(const PhoneticWord& word) {
    PhoneticWord out;
    PhoneticSymbol pending;
    for (const PhoneticSymbol& s : word) {
        if (isMark(s)) {
            pending = s;
            continue;
        }
        if (!pending.empty() && isPhoneticVowel(s)) {
            std::size_t runStart = out.size();
            while (runStart > 0 && isPhoneticConsonant(out[runStart - 1])) --runStart;
            std::size_t at = runStart;
            if (runStart > 0) {
                at = out.size();
                for (std::size_t from = runStart; from < out.size(); ++from)
                    if (isLegalOnset(out, from, out.size())) {
                        at = from;
                        break;
                    }
            }
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), pending);
            pending.clear();
        }
        out.push_back(s);
    }
    return out;
}

// A consonant an unstressed syllabic l or n follows.
bool takesSyllabicL(const PhoneticSymbol& s) {
    return isPhoneticConsonant(s) && s != U"l" && s != U"r" && s != U"j" && s != U"w" && s != U"ŋ" &&
           s != U"h";
}
bool takesSyllabicN(const PhoneticSymbol& s) {
    return s == U"t" || s == U"d" || s == U"s" || s == U"z" || s == U"f" || s == U"v" || s == U"θ" ||
           s == U"ð" || s == U"ʃ" || s == U"ʒ";
}

int syllableCount(const PhoneticWord& word) {
    int count = 0;
    bool sawVowel = false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (isPhoneticVowel(word[i])) {
            ++count;
            sawVowel = true;
        } else if (sawVowel && i > 0 && (word[i] == U"l" || word[i] == U"n") &&
                   (i + 1 == word.size() || !isPhoneticVowel(word[i + 1])) &&
                   (word[i] == U"l" ? takesSyllabicL(word[i - 1]) : takesSyllabicN(word[i - 1]))) {
            ++count;
        }
    }
    return count;
}

// For each symbol: is it a vowel of a stressed syllable? Every vowel of a
// word of one syllable counts as stressed.
std::vector<bool> stressedVowels(const PhoneticWord& word) {
    std::vector<bool> stressed(word.size(), false);
    const bool single = syllableCount(word) <= 1;
    bool markSeen = false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (isMark(word[i])) {
            markSeen = true;
        } else if (isPhoneticVowel(word[i])) {
            stressed[i] = single || markSeen;
            markSeen = false;
        }
    }
    return stressed;
}

// Is the next vowel after position i stressed?
bool nextVowelStressed(const PhoneticWord& word, const std::vector<bool>& stressed, std::size_t i) {
    for (std::size_t k = i + 1; k < word.size(); ++k)
        if (isPhoneticVowel(word[k])) return stressed[k];
    return false;
}

bool isVowelAt(const PhoneticWord& word, std::size_t i) {
    return i < word.size() && isPhoneticVowel(word[i]);
}

// Oxford prints an unstressed final -el, -ful, and -en, -ent after certain
// consonants, without the schwa: ˈæpl, ˈbjuːtɪfl, ˈsteɪʃn, ˈstjuːdnt.
void dropSyllabicSchwa(PhoneticWord& word, const std::vector<bool>& stressed) {
    std::size_t end = word.size();
    if (end > 0 && (word[end - 1] == U"z" || word[end - 1] == U"d")) --end;
    if (end < 3) return;
    const std::size_t schwa = end - 2;
    const PhoneticSymbol& last = word[end - 1];
    const bool schwaLike =
        word[schwa] == U"ə" || (word[schwa] == kShortU && last == U"l" && word[schwa - 1] == U"f");
    bool earlierVowel = false;
    for (std::size_t i = 0; i + 1 < schwa; ++i) earlierVowel = earlierVowel || isPhoneticVowel(word[i]);
    if (schwaLike && !stressed[schwa] && earlierVowel) {
        const PhoneticSymbol& before = word[schwa - 1];
        const bool vowelBefore = schwa >= 2 && isPhoneticVowel(word[schwa - 2]);
        bool drop = false;
        if (last == U"l") drop = takesSyllabicL(before);
        if (last == U"n")
            drop = (before == U"ʃ" || before == U"ʒ") || (takesSyllabicN(before) && vowelBefore);
        if (drop) {
            word.erase(word.begin() + static_cast<std::ptrdiff_t>(schwa));
            return;
        }
    }
    // -ism and -thm: Oxford writes the schwa, ˈtʊərɪzəm, ˈrɪðəm.
    end = word.size();
    if (end >= 3 && word[end - 1] == U"m" && (word[end - 2] == U"z" || word[end - 2] == U"ð") &&
        isPhoneticVowel(word[end - 3])) {
        word.insert(word.end() - 1, U"ə");
        return;
    }
    // -ent: ˈpeɪʃnt, ɪmˈpɔːtnt, but ˈprezɪdənt.
    end = word.size();
    if (end >= 5 && word[end - 1] == U"t" && word[end - 2] == U"n" && word[end - 3] == U"ə" &&
        !stressed[end - 3]) {
        const PhoneticSymbol& before = word[end - 4];
        const PhoneticSymbol& vowel = word[end - 5];
        const bool drop =
            ((before == U"ʃ" || before == U"ʒ") && isPhoneticVowel(vowel)) ||
            ((before == U"t" || before == U"d" || before == U"s" || before == U"z") && isLongVowel(vowel));
        if (drop) word.erase(word.end() - 3);
    }
}

bool isUVowel(const PhoneticSymbol& s) {
    return s == kShortU || s == kUThenSchwa || s == U"u" || s == U"ʊ" || s == U"uː" || s == U"ʊə";
}

// Where today's British dictionaries print no j, or merge it: ʃ, ʒ, tʃ, dʒ
// take no j (ˈkæʒuəl); an unstressed tju, dju becomes tʃu, dʒu
// (ˌedʒuˈkeɪʃn, ˈvɜːtʃuː) except at the start (djuˈreɪʃn) and before a
// final consonant (ˈɪnstɪtjuːt); a word-initial sju is su (ˈsuːpə).
void adjustYod(PhoneticWord& word) {
    const std::vector<bool> stressed = stressedVowels(word);
    PhoneticWord out;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] == U"j" && !out.empty() && i + 1 < word.size() && isUVowel(word[i + 1])) {
            PhoneticSymbol& before = out.back();
            const bool finalVowel = i + 2 == word.size();
            const bool beforeVowel = i + 2 < word.size() && isPhoneticVowel(word[i + 2]);
            const bool shortU = word[i + 1] != U"uː";
            if (before == U"ʃ" || before == U"ʒ" || before == U"tʃ" || before == U"dʒ") continue;
            const bool vowelBefore = std::any_of(out.begin(), out.end(), isPhoneticVowel);
            if ((before == U"t" || before == U"d") && vowelBefore && !stressed[i + 1] &&
                (shortU || finalVowel || beforeVowel)) {
                before = before == U"t" ? U"tʃ" : U"dʒ";
                continue;
            }
            const bool wordStart =
                out.size() == 1 || (out.size() == 2 && (out[0] == kPrimary || out[0] == kSecondary));
            if (before == U"s" && wordStart) continue;
        }
        out.push_back(word[i]);
    }
    word = std::move(out);
}

// Does the syllable of the vowel at i end in that vowel: are the consonants
// up to the next vowel all the next syllable's onset?
bool openSyllable(const PhoneticWord& word, std::size_t i) {
    PhoneticWord run;
    for (std::size_t k = i + 1; k < word.size(); ++k) {
        if (isPhoneticVowel(word[k])) return run.empty() || isLegalOnset(run, 0, run.size());
        if (!isMark(word[k])) run.push_back(word[k]);
    }
    return false;
}

void resolveVowels(PhoneticWord& word) {
    const std::vector<bool> stressed = stressedVowels(word);
    const bool single = syllableCount(word) <= 1;
    PhoneticWord out;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const PhoneticSymbol& s = word[i];
        const bool last = i + 1 == word.size();
        std::size_t next = i + 1;
        while (next < word.size() && isMark(word[next])) ++next;
        const bool beforeVowel = isVowelAt(word, next);
        const bool afterPalatal = i > 0 && (word[i - 1] == U"dʒ" || word[i - 1] == U"tʃ");
        const bool afterJ = afterPalatal || (i > 0 && word[i - 1] == U"j");
        if (s == kIThenSchwa || s == kUThenSchwa) {
            const bool i_ = s == kIThenSchwa;
            if (stressed[i]) {
                out.push_back(i_ ? U"ɪə" : U"ʊə");
            } else {
                out.push_back(i_ ? U"i" : U"u");
                out.push_back(U"ə");
            }
        } else if ((s == kShortI || s == U"ɪ") && !stressed[i] && i + 3 == word.size() &&
                   word[i + 1] == U"t" && (word[i + 2] == kShortI || word[i + 2] == U"ɪ")) {
            out.push_back(U"ə");  // -ity: ˌjuːnɪˈvɜːsəti, əˈbɪləti
        } else if (s == U"ɪ" && beforeVowel) {
            out.push_back(U"i");  // ˈreɪdiəʊ, as Oxford writes every ɪ before a vowel
        } else if (s == kShortI) {
            out.push_back((last && !stressed[i]) || beforeVowel ? U"i" : U"ɪ");
        } else if (s == kShortU && i >= 1 && word[i - 1] == U"f" && i + 3 == word.size() &&
                   word[i + 1] == U"l" && word[i + 2] == kShortI) {
            out.push_back(U"ə");  // -fully: səkˈsesfəli
        } else if ((s == kShortU || s == U"ʊ" || (s == U"uː" && !last)) && afterJ && !stressed[i] &&
                   (last || openSyllable(word, i))) {
            // After j, the unstressed u of ˌedʒuˈkeɪʃn, ˈmænjuskrɪpt, ˈdepjuti;
            // before l and schwa a schwa, ˈreɡjələ.
            const bool schwa =
                s != U"uː" && i + 2 < word.size() && word[i + 1] == U"l" && word[i + 2] == U"ə";
            out.push_back(schwa ? U"ə" : U"u");
        } else if (s == kShortU) {
            out.push_back(last || beforeVowel ? U"u" : U"ʊ");
        } else if (s == U"ɪ" && last && !single) {
            out.push_back(U"i");  // espeak-ng's final ɪ of every, really
        } else if ((s == U"iː" || s == U"uː") && !stressed[i] &&
                   (beforeVowel || (s == U"iː" && last && !single))) {
            // kriˈeɪt, ˈmeɪbi, ˈæktʃuəl
            out.push_back(s == U"iː" ? U"i" : U"u");
        } else {
            out.push_back(s);
        }
    }
    word = std::move(out);
}

// Oxford marks each syllable once, a secondary stress only before the
// primary, and no stress in a word of one syllable.
void tidyStress(PhoneticWord& word) {
    const bool single = syllableCount(word) <= 1;
    const auto primaries = std::count(word.begin(), word.end(), kPrimary);
    PhoneticWord out;
    long primarySeen = 0;
    for (std::size_t i = 0; i < word.size(); ++i) {
        PhoneticSymbol s = word[i];
        if (isMark(s)) {
            if (single) continue;
            if (s == kPrimary && ++primarySeen < primaries) s = kSecondary;
            if (s == kSecondary && primarySeen > 0 && word[i] != kPrimary) continue;
            bool vowelFollows = false;
            for (std::size_t k = i + 1; k < word.size() && !isMark(word[k]); ++k)
                vowelFollows = vowelFollows || isPhoneticVowel(word[k]);
            if (!vowelFollows) continue;
        }
        out.push_back(s);
    }
    // A word of two syllables or more has a primary stress: ECDICT leaves it
    // out in ˈhændl and ˈfaɪə, espeak-ng gives function words a secondary.
    if (!single && std::find(out.begin(), out.end(), kPrimary) == out.end()) {
        const auto secondary = std::find(out.begin(), out.end(), kSecondary);
        if (secondary != out.end())
            *secondary = kPrimary;
        else
            out.insert(out.begin(), kPrimary);
    }
    word = std::move(out);
}

// espeak-ng's unstressed en-, em- and ex- keep the e and assimilate the n;
// Oxford prints ɪnˈkʌrɪdʒ, ɪkˈspleɪn, kənˈkluːd.
void mendEspeakPrefixes(PhoneticWord& word) {
    for (std::size_t i = 0; i + 2 < word.size(); ++i)
        if (word[i] == U"ŋ" && isMark(word[i + 1]) && (word[i + 2] == U"k" || word[i + 2] == U"ɡ"))
            word[i] = U"n";
    if (word.size() < 4 || word[0] != U"e") return;
    const PhoneticSymbol& third = isMark(word[2]) ? word[3] : word[2];
    const bool prefix = word[1] == U"n" || word[1] == U"m" || (word[1] == U"k" && third == U"s") ||
                        (word[1] == U"ɡ" && third == U"z");
    const std::vector<bool> stressed = stressedVowels(word);
    if (prefix && !stressed[0] && nextVowelStressed(word, stressed, 0)) word[0] = U"ɪ";
}

}  // namespace

bool isPhoneticVowel(const PhoneticSymbol& s) {
    return contains(kVowels, s) || s == kShortI || s == kShortU || s == kIThenSchwa || s == kUThenSchwa;
}

bool isPhoneticConsonant(const PhoneticSymbol& s) {
    return contains(kConsonants, s);
}

// ECDICT leaves the s of sp, st, sk before the mark (iks'pekt,
// dis'kʌvә); Oxford begins the stressed syllable with the cluster.
// The -teen of ˌsɪksˈtiːn keeps its t alone.
void moveSBehindMark(PhoneticWord& word) {
    for (std::size_t i = 1; i + 2 < word.size(); ++i) {
        const bool teen = i + 5 >= word.size() && word[i + 2] == U"t" && i + 4 < word.size() &&
                          word[i + 3] == U"iː" && word[i + 4] == U"n";
        if (word[i] == U"s" && isMark(word[i + 1]) && !teen &&
            (word[i + 2] == U"p" || word[i + 2] == U"t" || word[i + 2] == U"k"))
            std::swap(word[i], word[i + 1]);
    }
}

void finishPhoneticWord(PhoneticWord& word, bool moveStress) {
    if (moveStress)
        word = moveStressToSyllableStart(word);
    else
        moveSBehindMark(word);
    tidyStress(word);
    if (moveStress) mendEspeakPrefixes(word);
    adjustYod(word);
    dropSyllabicSchwa(word, stressedVowels(word));
    resolveVowels(word);
    tidyStress(word);
}

std::string joinPhoneticWords(std::vector<PhoneticWord> words, bool moveStress) {
    std::u32string text;
    for (PhoneticWord& word : words) {
        finishPhoneticWord(word, moveStress);
        if (word.empty()) continue;
        if (!text.empty()) text += U' ';
        for (const PhoneticSymbol& s : word) text += s;
    }
    std::string utf8 = encodeUtf8(text);
    return isBritishTranscription(utf8) ? utf8 : std::string();
}

bool isBritishTranscription(const std::string& text) {
    constexpr std::size_t kMaxLength = 400;
    std::u32string codes;
    if (text.empty() || text.size() > kMaxLength || !decodeUtf8(text, codes)) return false;
    std::size_t i = 0;
    while (i < codes.size()) {
        // One word: symbols up to the next blank, longest symbol first.
        bool vowelSinceMark = true, vowelInWord = false;
        PhoneticSymbol previous;
        while (i < codes.size() && codes[i] != U' ') {
            const PhoneticSymbol two = codes.substr(i, 2), one = codes.substr(i, 1);
            const PhoneticSymbol& s =
                two.size() == 2 && (contains(kVowels, two) || contains(kConsonants, two)) ? two : one;
            if (!contains(kVowels, s) && !contains(kConsonants, s) && !isMark(s)) return false;
            // Old notation's diphthongs are made of target symbols too.
            if ((previous == U"e" && s == U"i") || (previous == U"ə" && s == U"u")) return false;
            previous = s;
            if (isMark(s)) {
                if (!vowelSinceMark) return false;  // two marks for one syllable
                vowelSinceMark = false;
            } else if (contains(kVowels, s)) {
                vowelSinceMark = vowelInWord = true;
            }
            i += s.size();
        }
        if (!vowelSinceMark || !vowelInWord) return false;
        if (i < codes.size()) {
            ++i;  // the blank
            if (i == codes.size() || codes[i] == U' ') return false;
        }
    }
    return codes.front() != U' ';
}

}  // namespace service
