// Cross-check of the notation rules: the 5,000 most frequent single words of
// ECDICT, their ECDICT transcription converted, against espeak-ng's British
// transcription converted. Words whose consonants differ are listed; they
// are either a rule to mend or a candidate for the override table.
// Usage: check_phonetics <ecdict.csv> [count]
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "service/phonetic_notation.h"
#include "service/phonetic_symbols.h"
#include "service/text_encoding.h"
#include "service/transcription.h"

namespace {

constexpr std::size_t kMaxRecordBytes = 1 << 20;

// One CSV record: quoted fields with doubled quotes, line breaks inside
// quotes. False at the end of the file; an over-long record comes back empty.
bool readRecord(std::istream& in, std::vector<std::string>& fields) {
    fields.assign(1, {});
    bool quoted = false, any = false, tooLong = false;
    std::size_t bytes = 0;
    for (int c; (c = in.get()) != EOF;) {
        any = true;
        if (++bytes > kMaxRecordBytes) tooLong = true;
        if (quoted) {
            if (c == '"') {
                if (in.peek() == '"') {
                    in.get();
                    if (!tooLong) fields.back() += '"';
                } else {
                    quoted = false;
                }
            } else if (!tooLong) {
                fields.back() += static_cast<char>(c);
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\n') {
            break;
        } else if (c != '\r' && !tooLong) {
            fields.back() += static_cast<char>(c);
        }
    }
    if (tooLong) fields.clear();
    return any;
}

long number(const std::string& text) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str() && value > 0 ? value : 0;
}

bool isSingleWord(const std::string& word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [](unsigned char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

// The consonants of a finished transcription, in order, as compared.
std::u32string consonants(const std::string& transcription) {
    std::u32string codes, out;
    service::decodeUtf8(transcription, codes);
    for (std::size_t i = 0; i < codes.size();) {
        const service::PhoneticSymbol two = codes.substr(i, 2);
        const std::size_t length =
            two.size() == 2 && (service::isPhoneticConsonant(two) || service::isPhoneticVowel(two)) ? 2 : 1;
        const service::PhoneticSymbol s = codes.substr(i, length);
        i += length;
        // Not counted as differences: j, which ECDICT writes where espeak-ng
        // has i or ɪ (ˈmɪljən), and n before k or ɡ, which espeak-ng
        // assimilates (ɪŋˈkluːd).
        if (!service::isPhoneticConsonant(s) || s == U"j") continue;
        const std::size_t next = codes.find_first_not_of(U"ˈˌ", i);
        const char32_t following = next == std::u32string::npos ? 0 : codes[next];
        out += s == U"ŋ" && (following == U'k' || following == U'ɡ') ? U"n" : s;
    }
    return out;
}

struct Entry {
    std::string word, phonetic;
    long frq = 0, bnc = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: check_phonetics <ecdict.csv> [count]\n";
        return 2;
    }
    const std::size_t count = argc > 2 ? static_cast<std::size_t>(number(argv[2])) : 5000;
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << '\n';
        return 1;
    }
    std::vector<Entry> entries;
    std::vector<std::string> fields;
    readRecord(in, fields);  // the header
    while (readRecord(in, fields)) {
        if (fields.size() < 10 || !isSingleWord(fields[0])) continue;
        Entry e{fields[0], fields[1], number(fields[9]), number(fields[8])};
        if (e.frq > 0) entries.push_back(std::move(e));
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const long bncA = a.bnc > 0 ? a.bnc : 1L << 40, bncB = b.bnc > 0 ? b.bnc : 1L << 40;
        return a.frq != b.frq ? a.frq < b.frq : bncA < bncB;
    });
    if (entries.size() > count) entries.resize(count);

    std::string error;
    if (!service::initTranscriber(error)) {
        std::cerr << error << '\n';
        return 1;
    }
    int mismatches = 0, dictionaryEmpty = 0, espeakEmpty = 0;
    for (const Entry& e : entries) {
        const std::string fromDictionary = service::phoneticFromDictionary(e.word, e.phonetic);
        const std::string espeakRaw = service::ipaTranscription(e.word);
        const std::string fromEspeak = service::phoneticFromEspeak(espeakRaw);
        if (fromEspeak.empty()) {
            ++espeakEmpty;
            std::cout << "ESPEAK\t" << e.word << '\t' << espeakRaw << '\n';
        }
        if (fromDictionary.empty()) {
            ++dictionaryEmpty;
            std::cout << "EMPTY\t" << e.word << '\t' << e.phonetic << '\t' << fromEspeak << '\n';
            continue;
        }
        if (!fromEspeak.empty() && consonants(fromDictionary) != consonants(fromEspeak)) {
            ++mismatches;
            std::cout << "DIFF\t" << e.word << '\t' << e.phonetic << '\t' << fromDictionary << '\t'
                      << fromEspeak << '\n';
        }
    }
    std::cout << "words " << entries.size() << ", consonant mismatches " << mismatches << ", ECDICT unusable "
              << dictionaryEmpty << ", espeak-ng unusable " << espeakEmpty << '\n';
    return 0;
}
