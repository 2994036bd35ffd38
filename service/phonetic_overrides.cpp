// Common words whose ECDICT field is wrong or American (the short a of
// pass, sample, grant), with the British transcription Oxford prints. Kept
// short and sorted; each entry was checked by hand, and tools/check_phonetics
// lists the candidates.
#include "service/phonetic_overrides.h"

#include <algorithm>
#include <array>
#include <utility>

namespace service {

namespace {

constexpr std::array<std::pair<std::string_view, const char*>, 85> kOverrides = {{
    {"advertisement", "ədˈvɜːtɪsmənt"},
    {"aircraft", "ˈeəkrɑːft"},
    {"assault", "əˈsɔːlt"},
    {"attachment", "əˈtætʃmənt"},
    {"because", "bɪˈkɒz"},
    {"blast", "blɑːst"},
    {"branch", "brɑːntʃ"},
    {"broadcast", "ˈbrɔːdkɑːst"},
    {"clerk", "klɑːk"},
    {"cloth", "klɒθ"},
    {"columnist", "ˈkɒləmnɪst"},
    {"consider", "kənˈsɪdə"},
    {"constitute", "ˈkɒnstɪtjuːt"},
    {"contrast", "ˈkɒntrɑːst"},
    {"convenience", "kənˈviːniəns"},
    {"craft", "krɑːft"},
    {"developed", "dɪˈveləpt"},
    {"dynasty", "ˈdɪnəsti"},
    {"earnings", "ˈɜːnɪŋz"},
    {"either", "ˈaɪðə"},
    {"electric", "ɪˈlektrɪk"},
    {"engagement", "ɪnˈɡeɪdʒmənt"},
    {"enhance", "ɪnˈhɑːns"},
    {"ensemble", "ɒnˈsɒmbl"},
    {"equation", "ɪˈkweɪʒn"},
    {"example", "ɪɡˈzɑːmpl"},
    {"forehead", "ˈfɔːhed"},
    {"foreign", "ˈfɒrən"},
    {"foreigner", "ˈfɒrənə"},
    {"frontier", "ˈfrʌntɪə"},
    {"fuel", "ˈfjuːəl"},
    {"garage", "ˈɡærɑːʒ"},
    {"gasp", "ɡɑːsp"},
    {"genre", "ˈʒɒnrə"},
    {"grant", "ɡrɑːnt"},
    {"grasp", "ɡrɑːsp"},
    {"grass", "ɡrɑːs"},
    {"handful", "ˈhændfʊl"},
    {"housing", "ˈhaʊzɪŋ"},
    {"hungry", "ˈhʌŋɡri"},
    {"illuminate", "ɪˈluːmɪneɪt"},
    {"illusion", "ɪˈluːʒn"},
    {"inclusion", "ɪnˈkluːʒn"},
    {"influential", "ˌɪnfluˈenʃl"},
    {"issue", "ˈɪʃuː"},
    {"laboratory", "ləˈbɒrətri"},
    {"lawsuit", "ˈlɔːsuːt"},
    {"leisure", "ˈleʒə"},
    {"liberty", "ˈlɪbəti"},
    {"marijuana", "ˌmærəˈwɑːnə"},
    {"mask", "mɑːsk"},
    {"mature", "məˈtʃʊə"},
    {"maximum", "ˈmæksɪməm"},
    {"measurement", "ˈmeʒəmənt"},
    {"mobile", "ˈməʊbaɪl"},
    {"notably", "ˈnəʊtəbli"},
    {"often", "ˈɒfn"},
    {"orange", "ˈɒrɪndʒ"},
    {"parent", "ˈpeərənt"},
    {"pass", "pɑːs"},
    {"passing", "ˈpɑːsɪŋ"},
    {"presumably", "prɪˈzjuːməbli"},
    {"previously", "ˈpriːviəsli"},
    {"privacy", "ˈprɪvəsi"},
    {"process", "ˈprəʊses"},
    {"rather", "ˈrɑːðə"},
    {"remains", "rɪˈmeɪnz"},
    {"restaurant", "ˈrestrɒnt"},
    {"salvation", "sælˈveɪʃn"},
    {"sample", "ˈsɑːmpl"},
    {"schedule", "ˈʃedjuːl"},
    {"shaft", "ʃɑːft"},
    {"shut", "ʃʌt"},
    {"soften", "ˈsɒfn"},
    {"suggest", "səˈdʒest"},
    {"suitcase", "ˈsuːtkeɪs"},
    {"this", "ðɪs"},
    {"uh", "ʌ"},
    {"vase", "vɑːz"},
    {"vitamin", "ˈvɪtəmɪn"},
    {"yeah", "jeə"},
    {"your", "jɔː"},
    {"yours", "jɔːz"},
    {"yourself", "jɔːˈself"},
    {"yourselves", "jɔːˈselvz"},
}};
static_assert(std::is_sorted(kOverrides.begin(), kOverrides.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; }),
              "the lookup is a binary search");

}  // namespace

const char* phoneticOverride(std::string_view word) {
    const auto found =
        std::lower_bound(kOverrides.begin(), kOverrides.end(), word,
                         [](const auto& entry, std::string_view w) { return entry.first < w; });
    return found != kOverrides.end() && found->first == word ? found->second : nullptr;
}

}  // namespace service
