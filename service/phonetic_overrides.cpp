// Common words whose ECDICT field is wrong or American, with the British
// transcription Oxford prints. Kept short and sorted; each entry was checked
// by hand, and tools/check_phonetics lists the candidates.
#include "service/phonetic_overrides.h"

#include <algorithm>
#include <array>
#include <utility>

namespace service {

namespace {

constexpr std::array<std::pair<std::string_view, const char*>, 55> kOverrides = {{
    {"assault", "əˈsɔːlt"},
    {"attachment", "əˈtætʃmənt"},
    {"because", "bɪˈkɒz"},
    {"cloth", "klɒθ"},
    {"columnist", "ˈkɒləmnɪst"},
    {"consider", "kənˈsɪdə"},
    {"constitute", "ˈkɒnstɪtjuːt"},
    {"convenience", "kənˈviːniəns"},
    {"developed", "dɪˈveləpt"},
    {"earnings", "ˈɜːnɪŋz"},
    {"electric", "ɪˈlektrɪk"},
    {"engagement", "ɪnˈɡeɪdʒmənt"},
    {"ensemble", "ɒnˈsɒmbl"},
    {"equation", "ɪˈkweɪʒn"},
    {"forehead", "ˈfɔːhed"},
    {"foreign", "ˈfɒrən"},
    {"foreigner", "ˈfɒrənə"},
    {"frontier", "ˈfrʌntɪə"},
    {"fuel", "ˈfjuːəl"},
    {"garage", "ˈɡærɑːʒ"},
    {"genre", "ˈʒɒnrə"},
    {"handful", "ˈhændfʊl"},
    {"housing", "ˈhaʊzɪŋ"},
    {"hungry", "ˈhʌŋɡri"},
    {"illuminate", "ɪˈluːmɪneɪt"},
    {"illusion", "ɪˈluːʒn"},
    {"inclusion", "ɪnˈkluːʒn"},
    {"influential", "ˌɪnfluˈenʃl"},
    {"issue", "ˈɪʃuː"},
    {"lawsuit", "ˈlɔːsuːt"},
    {"liberty", "ˈlɪbəti"},
    {"marijuana", "ˌmærəˈwɑːnə"},
    {"mature", "məˈtʃʊə"},
    {"maximum", "ˈmæksɪməm"},
    {"measurement", "ˈmeʒəmənt"},
    {"notably", "ˈnəʊtəbli"},
    {"often", "ˈɒfn"},
    {"orange", "ˈɒrɪndʒ"},
    {"presumably", "prɪˈzjuːməbli"},
    {"previously", "ˈpriːviəsli"},
    {"remains", "rɪˈmeɪnz"},
    {"restaurant", "ˈrestrɒnt"},
    {"salvation", "sælˈveɪʃn"},
    {"schedule", "ˈʃedjuːl"},
    {"shut", "ʃʌt"},
    {"soften", "ˈsɒfn"},
    {"suggest", "səˈdʒest"},
    {"suitcase", "ˈsuːtkeɪs"},
    {"this", "ðɪs"},
    {"uh", "ʌ"},
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
