// Transcriptions from a table made at build time with espeak-ng's British
// voice, for a platform where espeak-ng itself is not available. The table
// is "pronunciations.tsv" in "service-data" beside the executable: one
// "text<TAB>IPA" line per word or phrase, UTF-8.
//
// A text missing from the table is composed from its words when every word
// is in it; otherwise the transcription stays empty. An empty transcription
// is better than a guessed, wrong one.
#include <string>
#include <string_view>
#include <vector>

#include "service/process.h"
#include "service/sorted_lines.h"
#include "service/text_encoding.h"
#include "service/transcription.h"

namespace service {

namespace {

// Read only before serving starts, then shared by every request thread.
SortedLines table;

// The table made at build time is about 11 MB; bound what is read.
constexpr std::size_t kMaxTableBytes = 128u << 20;
// Bounds a line; a longer one is not a word list's line.
constexpr std::size_t kMaxLineBytes = 4096;

bool isEntry(std::string_view line) {
    const std::size_t tab = line.find('\t');
    return line.size() <= kMaxLineBytes && tab != std::string_view::npos && tab > 0 && tab + 1 < line.size();
}

// The entry for the text as written, then in lower case; empty when neither.
std::string entry(const std::string& text) {
    for (const std::string& key : {text, lowerAscii(text)})
        if (const SortedLines::Line* line = findLine(table, key))
            return std::string(lineAt(table, *line).substr(key.size() + 1));
    return std::string();
}

}  // namespace

bool initTranscriber(std::string& error) {
    const std::string path = executableFolder() + "/service-data/pronunciations.tsv";
    std::string text;
    if (!readWholeFile(path, kMaxTableBytes, text)) {
        error = "cannot read the pronunciation table " + path;
        return false;
    }
    indexLines(std::move(text), isEntry, table);
    return true;
}

std::string ipaTranscription(const std::string& utf8) {
    const std::string whole = entry(utf8);
    if (!whole.empty()) return whole;
    const std::vector<std::string> parts = blankSeparatedWords(utf8);
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
