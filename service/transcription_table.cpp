// Transcriptions from a table made at build time with espeak-ng's British
// voice, for a platform where espeak-ng itself is not available. The table
// is "pronunciations.tsv" in "service-data" beside the executable: one
// "text<TAB>IPA" line per word or phrase, UTF-8.
//
// A text missing from the table is composed from its words when every word
// is in it; otherwise the transcription stays empty. An empty transcription
// is better than a guessed, wrong one.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "service/process.h"
#include "service/transcription.h"

namespace service {

namespace {

// Read only before serving starts, then shared by every request thread: the
// whole table in one block with its lines' places in text order, so that
// half a million entries cost little more than the file itself.
struct Table {
    std::string text;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> lines;  // start, length
} table;

// The table made at build time is about 11 MB; bound what is read.
constexpr std::size_t kMaxTableBytes = 128u << 20;
// Bounds a line; a longer one is not a word list's line.
constexpr std::size_t kMaxLineBytes = 4096;

std::string_view lineAt(const std::pair<std::uint32_t, std::uint32_t>& line) {
    return std::string_view(table.text).substr(line.first, line.second);
}

std::string_view keyOf(std::string_view line) {
    return line.substr(0, line.find('\t'));
}

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i])) ++i;
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i])) ++i;
        if (i > start) out.push_back(text.substr(start, i - start));
    }
    return out;
}

bool find(std::string_view key, std::string_view& ipa) {
    const auto it =
        std::lower_bound(table.lines.begin(), table.lines.end(), key,
                         [](const auto& line, std::string_view k) { return keyOf(lineAt(line)) < k; });
    if (it == table.lines.end() || keyOf(lineAt(*it)) != key) return false;
    ipa = lineAt(*it).substr(key.size() + 1);
    return true;
}

// The entry for the text as written, then in lower case; empty when neither.
std::string entry(const std::string& text) {
    std::string_view ipa;
    if (find(text, ipa) || find(lowerAscii(text), ipa)) return std::string(ipa);
    return std::string();
}

}  // namespace

bool initTranscriber(std::string& error) {
    const std::string path = executableFolder() + "/service-data/pronunciations.tsv";
    std::ifstream in(pathFromUtf8(path), std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxTableBytes) {
        error = "cannot read the pronunciation table " + path;
        return false;
    }
    table.text.assign(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(table.text.data(), size)) {
        error = "cannot read the pronunciation table " + path;
        return false;
    }
    for (std::size_t start = 0; start < table.text.size();) {
        std::size_t end = table.text.find('\n', start);
        if (end == std::string::npos) end = table.text.size();
        std::size_t length = end - start;
        if (length > 0 && table.text[start + length - 1] == '\r') --length;
        const std::string_view line = std::string_view(table.text).substr(start, length);
        const std::size_t tab = line.find('\t');
        if (length <= kMaxLineBytes && tab != std::string_view::npos && tab > 0 && tab + 1 < line.size())
            table.lines.emplace_back(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length));
        start = end + 1;
    }
    const auto byKey = [](const auto& a, const auto& b) { return keyOf(lineAt(a)) < keyOf(lineAt(b)); };
    if (!std::is_sorted(table.lines.begin(), table.lines.end(), byKey))
        std::stable_sort(table.lines.begin(), table.lines.end(), byKey);
    return true;
}

std::string ipaTranscription(const std::string& utf8) {
    const std::string whole = entry(utf8);
    if (!whole.empty()) return whole;
    const std::vector<std::string> parts = words(utf8);
    std::string composed;
    for (const std::string& word : parts) {
        const std::string ipa = entry(word);
        if (ipa.empty()) return std::string();
        if (!composed.empty()) composed += ' ';
        composed += ipa;
    }
    return composed;
}

}  // namespace service
