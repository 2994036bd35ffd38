// A data file read whole, with its lines indexed in the order of their key
// (the text before the first tab), so that half a million entries cost
// little more than the file itself and are found by binary search. The word
// list and the Windows pronunciation table are both kept so.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace service {

struct SortedLines {
    struct Line {
        std::uint32_t start = 0;
        std::uint32_t length = 0;
    };
    std::string text;         // the whole file
    std::vector<Line> lines;  // the lines kept, in key order
};

// The file's bytes; false when it cannot be read or holds more than maxBytes.
bool readWholeFile(const std::string& path, std::size_t maxBytes, std::string& text);

// Indexes the lines of text (LF or CR LF) that keep accepts. The tools write
// their files in order; a file that is not is sorted.
void indexLines(std::string text, const std::function<bool(std::string_view)>& keep, SortedLines& out);

std::string_view lineAt(const SortedLines& lines, const SortedLines::Line& line);
std::string_view keyOf(std::string_view line);

// The first line with this key; null when there is none.
const SortedLines::Line* findLine(const SortedLines& lines, std::string_view key);

}  // namespace service
