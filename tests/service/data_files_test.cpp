// The files the program folder ships with: the sound effects and the sample
// word banks.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "service/dictionary.h"
#include "service/text_encoding.h"

namespace {

const std::string kData = std::string(VORBELZOZ_SOURCE_DIR) + "/data";

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

uint32_t le(const std::string& s, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

struct Wav {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples;
};

// Walks the RIFF chunks; false when the file is no RIFF WAVE with both chunks.
bool readWav(const std::string& file, Wav& wav) {
    if (file.size() < 12 || file.compare(0, 4, "RIFF") != 0 || file.compare(8, 4, "WAVE") != 0) return false;
    bool haveFormat = false, haveData = false;
    for (size_t at = 12; at + 8 <= file.size();) {
        const std::string id = file.substr(at, 4);
        const uint32_t size = le(file, at + 4, 4);
        if (at + 8 + size > file.size()) return false;
        if (id == "fmt " && size >= 16) {
            wav.format = static_cast<int>(le(file, at + 8, 2));
            wav.channels = static_cast<int>(le(file, at + 10, 2));
            wav.rate = static_cast<int>(le(file, at + 12, 4));
            wav.bits = static_cast<int>(le(file, at + 22, 2));
            haveFormat = true;
        } else if (id == "data") {
            for (uint32_t i = 0; i + 1 < size; i += 2)
                wav.samples.push_back(static_cast<int16_t>(le(file, at + 8 + i, 2)));
            haveData = true;
        }
        at += 8 + size + (size & 1);
    }
    return haveFormat && haveData && !wav.samples.empty();
}

std::vector<std::string> bankEntries(const std::string& file) {
    std::vector<std::string> entries;
    size_t start = 0;
    for (size_t end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2)
        entries.push_back(file.substr(start, end - start));
    if (start < file.size()) entries.push_back(file.substr(start));
    return entries;
}

}  // namespace

TEST(SoundEffects, AllSevenAreSmallMono16BitPcm) {
    for (const char* name :
         {"开始.wav", "结束.wav", "答对.wav", "答错.wav", "等待开始.wav", "选词.wav", "提示.wav"}) {
        SCOPED_TRACE(name);
        const std::string file = readAll(kData + "/音效/" + name);
        Wav wav;
        ASSERT_TRUE(readWav(file, wav));
        EXPECT_EQ(wav.format, 1);
        EXPECT_EQ(wav.channels, 1);
        EXPECT_EQ(wav.rate, 22050);
        EXPECT_EQ(wav.bits, 16);
        EXPECT_LT(file.size(), 300u * 1024);
        const double seconds = static_cast<double>(wav.samples.size()) / wav.rate;
        if (std::string(name) == "选词.wav")
            EXPECT_GE(seconds, 2.0);
        else
            EXPECT_LE(seconds, 1.5);
    }
}

TEST(SoundEffects, TheBackgroundLoopJoinsWithoutAClick) {
    Wav wav;
    ASSERT_TRUE(readWav(readAll(kData + "/音效/选词.wav"), wav));
    int largestStep = 0;
    for (size_t i = 1; i < wav.samples.size(); ++i)
        largestStep = std::max(largestStep, std::abs(wav.samples[i] - wav.samples[i - 1]));
    // From the last sample back to the first is a step like any other.
    const int seam = std::abs(wav.samples.front() - wav.samples.back());
    EXPECT_LE(seam, largestStep / 2);
    // It loops with sound, not through silence.
    EXPECT_GT(std::abs(wav.samples.front()) + std::abs(wav.samples.back()), 0);
}

TEST(SampleBanks, AreGbkWithCrLfAndKnownToTheDictionary) {
    service::Dictionary dictionary;
    ASSERT_TRUE(service::loadDictionary(std::string(VORBELZOZ_SERVICE_DATA) + "/dictionary.tsv", dictionary));
    const struct {
        const char* name;
        size_t minimumEntries;
        bool phrases;
    } banks[] = {{"入门词汇.txt", 8, false}, {"常用词汇.txt", 200, false}, {"常用短语.txt", 10, true}};
    for (const auto& bank : banks) {
        SCOPED_TRACE(bank.name);
        const std::string file = readAll(kData + "/单词表/01示例/" + bank.name);
        ASSERT_FALSE(file.empty());
        EXPECT_NE(file.compare(0, 3, "\xEF\xBB\xBF"), 0);
        EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
        EXPECT_EQ(service::gbkToUtf8(file).find("\xEF\xBF\xBD"), std::string::npos);
        const std::vector<std::string> entries = bankEntries(file);
        EXPECT_GE(entries.size(), bank.minimumEntries);
        for (const std::string& entry : entries) {
            EXPECT_FALSE(entry.empty());
            EXPECT_EQ(entry.find_first_of("\r\n"), std::string::npos) << entry;
            EXPECT_EQ(entry.find(' ') != std::string::npos, bank.phrases) << entry;
            EXPECT_FALSE(service::lookupMeanings(dictionary, entry).empty()) << entry;
        }
    }
}

// The exam lists in the program folder the build assembles: folders that
// sort in a learner's order after the samples, every chapter named in order,
// at most 50 entries of GBK with CR LF, and no entry twice.
TEST(ExamBanks, NineListsOfNumberedChaptersInTheProgramFolder) {
    namespace fs = std::filesystem;
    const struct {
        const char* folder;
        const char* name;
        std::size_t minimumEntries;
    } lists[] = {{"02中考", "中考", 1500}, {"03高考", "高考", 3500}, {"04四级", "四级", 3700},
                 {"05六级", "六级", 5300}, {"06考研", "考研", 4700}, {"07托福", "托福", 6800},
                 {"08雅思", "雅思", 4900}, {"09GRE", "GRE", 7300},   {"10牛津3000", "牛津3000", 3400}};
    const fs::path banks = fs::path(VORBELZOZ_PROGRAM_FOLDER) / "单词表";
    std::set<std::string> bundled;
    for (const auto& entry : fs::directory_iterator(banks)) bundled.insert(entry.path().filename().string());
    std::set<std::string> expected{"01示例"};
    for (const auto& list : lists) expected.insert(list.folder);
    EXPECT_EQ(bundled, expected);  // nothing of an older layout, no bank at the top
    for (const auto& list : lists) {
        SCOPED_TRACE(list.name);
        const fs::path folder = banks / fs::u8path(list.folder);
        ASSERT_TRUE(fs::is_directory(folder));
        std::size_t chapters = 0, total = 0;
        std::set<std::string> seen;
        for (const auto& file : fs::directory_iterator(folder)) {
            (void)file;
            ++chapters;
        }
        for (std::size_t n = 1; n <= chapters; ++n) {
            char name[64];
            std::snprintf(name, sizeof name, "%s-%03zu.txt", list.name, n);
            const std::string bytes = readAll((folder / fs::u8path(name)).string());
            ASSERT_FALSE(bytes.empty()) << name;
            EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
            EXPECT_EQ(service::gbkToUtf8(bytes).find("\xEF\xBF\xBD"), std::string::npos) << name;
            const std::vector<std::string> entries = bankEntries(bytes);
            EXPECT_LE(entries.size(), 50u) << name;
            if (n < chapters) {
                EXPECT_EQ(entries.size(), 50u) << name;
            }
            for (const std::string& entry : entries) {
                EXPECT_TRUE(seen.insert(entry).second) << entry;
                EXPECT_EQ(entry.find('\r'), std::string::npos) << entry;
            }
            total += entries.size();
        }
        EXPECT_GE(total, list.minimumEntries);
    }
}
