#include "service/phonetic_notation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "service/phonetic_symbols.h"
#include "service/text_encoding.h"
#include "service/transcription.h"

using namespace service;

namespace {

struct ReferenceWord {
    std::string word, oxford, ecdict;
};

std::vector<ReferenceWord> referenceWords() {
    std::ifstream in(VORBELZOZ_SOURCE_DIR "/tests/service/reference_words.tsv");
    std::vector<ReferenceWord> words;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> columns;
        std::istringstream fields(line);
        for (std::string column; std::getline(fields, column, '\t');) columns.push_back(column);
        if (columns.size() == 4) words.push_back({columns[0], columns[1], columns[3]});
    }
    return words;
}

// Symbols of a transcription, two code points where they make one symbol.
std::vector<std::u32string> symbols(const std::string& text) {
    std::u32string codes;
    decodeUtf8(text, codes);
    std::vector<std::u32string> out;
    for (std::size_t i = 0; i < codes.size();) {
        const std::u32string two = codes.substr(i, 2);
        const std::size_t length =
            two.size() == 2 && (isPhoneticVowel(two) || isPhoneticConsonant(two)) ? 2 : 1;
        out.push_back(codes.substr(i, length));
        i += length;
    }
    return out;
}

std::size_t editDistance(const std::string& a, const std::string& b) {
    const auto x = symbols(a), y = symbols(b);
    std::vector<std::size_t> row(y.size() + 1);
    for (std::size_t j = 0; j <= y.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= x.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= y.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[y.size()];
}

// Counts exact matches with Oxford's transcription; every other result must
// be at most two symbols away from it.
template <typename Convert>
int exactMatches(const std::vector<ReferenceWord>& words, const char* source, Convert convert) {
    int exact = 0;
    for (const ReferenceWord& w : words) {
        const std::string got = convert(w);
        if (got == w.oxford) {
            ++exact;
            continue;
        }
        EXPECT_LE(editDistance(got, w.oxford), 2u) << w.word << ": " << got << " for " << w.oxford;
    }
    std::cout << source << ": " << exact << " of " << words.size() << " as Oxford prints them\n";
    return exact;
}

}  // namespace

TEST(PhoneticNotation, ReferenceWordsFromEcdictMostlyAsOxfordPrintsThem) {
    const auto words = referenceWords();
    ASSERT_EQ(words.size(), 75u);
    const int exact = exactMatches(
        words, "ECDICT", [](const ReferenceWord& w) { return phoneticFromDictionary(w.word, w.ecdict); });
    EXPECT_GE(exact * 10, static_cast<int>(words.size()) * 9);
}

TEST(PhoneticNotation, ReferenceWordsFromEspeakMostlyAsOxfordPrintsThem) {
    std::string error;
    ASSERT_TRUE(initTranscriber(error)) << error;
    const auto words = referenceWords();
    const int exact = exactMatches(words, "espeak-ng", [](const ReferenceWord& w) {
        return phoneticFromEspeak(ipaTranscription(w.word));
    });
    EXPECT_GE(exact * 10, static_cast<int>(words.size()) * 8);
}

TEST(PhoneticNotation, ReadsEcdictsOldNotationAndDebris) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        // Old notation's diphthongs and short vowels; Cyrillic look-alikes.
        {"plei", "pleɪ"},
        {"tә'mɑ:tәu", "təˈmɑːtəʊ"},
        {"'flauә", "ˈflaʊə"},
        {"bɔi", "bɔɪ"},
        {"tʃєә", "tʃeə"},
        {"ʃεәd", "ʃeəd"},
        {"jiә", "jɪə"},
        {"'єәriә", "ˈeəriə"},
        {"tuә", "tʊə"},
        {"'æktʃuәl", "ˈæktʃuəl"},
        {"buk", "bʊk"},
        {"'hæpi", "ˈhæpi"},
        {"'reidiәu", "ˈreɪdiəʊ"},
        {"'kɔndʌkt", "ˈkɒndʌkt"},
        {"mɔ:l", "mɔːl"},
        {"bә:d", "bɜːd"},
        {"hwait", "waɪt"},
        {"'sʌmhwєә", "ˈsʌmweə"},
        // ɒ: is ɔː, but short before the r of tomorrow.
        {"'wɒ:tә", "ˈwɔːtə"},
        {"'stɒ:ri", "ˈstɔːri"},
        // Encoding debris: ^ for ɡ, backslashes for ɜ, j for a lost ʊ.
        {"i^'zæktli", "ɪɡˈzæktli"},
        {"'p\\\\\\\\:mәntli", "ˈpɜːməntli"},
        {"әj'kei", "əʊˈkeɪ"},
        {"'mjzlim; (?@) 'mʌzlem", "ˈmʊzlɪm"},
        // Syllabic l and n, -ful, and the j Oxford merges or drops.
        {"'hɒspitәl", "ˈhɒspɪtl"},
        {"'steiʃәn", "ˈsteɪʃn"},
        {"im'pɒ:tәnt", "ɪmˈpɔːtnt"},
        {"'prezidәnt", "ˈprezɪdənt"},
        {"'ju:sful", "ˈjuːsfl"},
        {".edju'keiʃәn", "ˌedʒuˈkeɪʃn"},
        {"'sju:pә", "ˈsuːpə"},
        {"'edjukeit", "ˈedʒukeɪt"},
        {"dju'reiʃәn", "djuˈreɪʃn"},
        {"'regjulә", "ˈreɡjələ"},
        {"'kæʒjuәl", "ˈkæʒuəl"},
        // Stress: "." and "," as secondary marks, one secondary before the
        // primary only, none in a word of one syllable.
        {".ju:ni'vә:siti", "ˌjuːnɪˈvɜːsəti"},
        {"in,vaiәrәn'mentlist", "ɪnˌvaɪərənˈmentlɪst"},
        {"'teli.viʒәn", "ˈtelɪvɪʒn"},
        {"'nɒ:θ'i:st", "ˌnɔːθˈiːst"},
        {"'ju:st", "juːst"},
        {"iks'pekt", "ɪkˈspekt"},
        {"'siks'ti:n", "ˌsɪksˈtiːn"},
        {"hændl", "ˈhændl"},
        // Oxford's -ism, -ity and happy vowel.
        {"'kritisizm", "ˈkrɪtɪsɪzəm"},
        {"ɒ:'θɒriti", "ɔːˈθɒrəti"},
        {"'meibi:", "ˈmeɪbi"},
        // Alternatives: the first form, the British one where the forms
        // differ in the BATH vowel; optional sounds dropped.
        {"di'rektli, dai'rektli", "dɪˈrektli"},
        {"ә'bju:s.ә'bju:z", "əˈbjuːs"},
        {"'kɔndʌkt, -dәkt", "ˈkɒndʌkt"},
        {"bæθ.bɑ:θ", "bɑːθ"},
        {"tʃæns. tʃɑ:ns", "tʃɑːns"},
        {"'mistә(r)", "ˈmɪstə"},
        {"'ɔ:lbәn,'æl-", "ˈɔːlbən"},
        {"\u00A0'brɪŋə", "ˈbrɪŋə"},
        {"ˊbuːtlisli", "ˈbuːtlɪsli"},
        {"[ræn]", "ræn"},
        {"ˈfaɪəfaɪtə(r)", "ˈfaɪəfaɪtə"},
    };
    for (const auto& [field, expected] : cases)
        EXPECT_EQ(phoneticFromDictionary("", field), expected) << field;
}

TEST(PhoneticNotation, OverridesAndUnusableEcdictFields) {
    EXPECT_EQ(phoneticFromDictionary("this", "θis"), "ðɪs");
    EXPECT_EQ(phoneticFromDictionary("This", "θis"), "ðɪs");
    EXPECT_EQ(phoneticFromDictionary("schedule", "'skedʒuәl"), "ˈʃedjuːl");
    EXPECT_EQ(phoneticFromDictionary("go", "gou"), "ɡəʊ");
    EXPECT_EQ(phoneticFromDictionary("anything", "'eniθiŋ"), "ˈeniθɪŋ");
    EXPECT_EQ(phoneticFromDictionary("everywhere", "'evrihwєә"), "ˈevriweə");
    for (const char* junk : {"", "   ", "-dәkt", "x#y", "'", "(?@)", "ab(cdefg)", "\xff\xfe", "ми"})
        EXPECT_EQ(phoneticFromDictionary("", junk), "") << junk;
    EXPECT_EQ(phoneticFromDictionary("", std::string(1000, 'i')), "");
}

TEST(PhoneticNotation, ReadsEspeakPhonemes) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"ɹˈʌn", "rʌn"},
        {"plˈeɪ", "pleɪ"},
        {"ˈapəl", "ˈæpl"},
        {"wˈɔːtə", "ˈwɔːtə"},
        // espeak-ng's en-gb gives class and bath the short a of cat.
        {"klˈas", "klæs"},
        {"fˈɑːðə", "ˈfɑːðə"},
        {"jˌuːnɪvˈɜːsɪti", "ˌjuːnɪˈvɜːsəti"},
        {"ɐbˈaʊt", "əˈbaʊt"},
        {"hˈapi", "ˈhæpi"},
        {"bjˈuːtifəl", "ˈbjuːtɪfl"},
        {"stˈeɪʃən", "ˈsteɪʃn"},
        // Marks go before the longest cluster that can begin the syllable.
        {"ɪmpˈɔːtənt", "ɪmˈpɔːtnt"},
        {"kəmpjˈuːtə", "kəmˈpjuːtə"},
        {"ɛksplˈeɪn", "ɪkˈspleɪn"},
        {"eŋkˈʌɹɪdʒ", "ɪnˈkʌrɪdʒ"},
        {"ˈɪŋkɹiːs", "ˈɪŋkriːs"},
        {"təmˈɒɹəʊ", "təˈmɒrəʊ"},
        {"dɪsmˈeɪ", "dɪsˈmeɪ"},
        {"tˈɛlɪvˌɪʒən", "ˈtelɪvɪʒn"},
        // iə is ɪə when stressed; espeak-ng's ɪə is ɪ and ə.
        {"jˈiə", "jɪə"},
        {"sˈiəɹiəs", "ˈsɪəriəs"},
        {"ˈɪdɪət", "ˈɪdiət"},
        {"ɹˈeɪdɪˌəʊ", "ˈreɪdiəʊ"},
        {"ˈaktʃuːəl", "ˈæktʃuəl"},
        {"kɹiːˈeɪt", "kriˈeɪt"},
        {"ˈɛvɹɪ", "ˈevri"},
        {"mˈanjuːskɹɪpt", "ˈmænjuskrɪpt"},
        {"ˈɪnstɪtjuːt", "ˈɪnstɪtjuːt"},
        {"ɡˈʊd mˈɔːnɪŋ", "ɡʊd ˈmɔːnɪŋ"},
    };
    for (const auto& [ipa, expected] : cases) EXPECT_EQ(phoneticFromEspeak(ipa), expected) << ipa;
    for (const char* junk : {"", "(fr)ʒə(en)", "kˈat!", "ɹˈʌn\n"})
        EXPECT_EQ(phoneticFromEspeak(junk), "") << junk;
}

TEST(PhoneticNotation, SymbolCheckAcceptsOnlyTheTargetNotation) {
    for (const char* good : {"ˈæpl", "ɡʊd ˈmɔːnɪŋ", "ˌjuːnɪˈvɜːsəti", "tʃeə", "ˈstjuːdnt", "ðɪs"})
        EXPECT_TRUE(isBritishTranscription(good)) << good;
    for (const char* bad : {"", "[ræn]", "/ræn/", "ræɡ ", " ræn", "a  b", "ræg", "ˈˈræn", "ræˈ", "plei",
                            "ɡəu", "tә", "wɔ:", "klɑs", "ˈ", "str", "kæt!", "\xce"})
        EXPECT_FALSE(isBritishTranscription(bad)) << bad;
}
