#include "service/sorted_lines.h"

#include <algorithm>
#include <fstream>

#include "service/process.h"

namespace service {

bool readWholeFile(const std::string& path, std::size_t maxBytes, std::string& text) {
    std::ifstream in(pathFromUtf8(path), std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > maxBytes) return false;
    text.assign(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    return static_cast<bool>(in.read(text.data(), size));
}

std::string_view lineAt(const SortedLines& lines, const SortedLines::Line& line) {
    return std::string_view(lines.text).substr(line.start, line.length);
}

std::string_view keyOf(std::string_view line) {
    return line.substr(0, line.find('\t'));
}

void indexLines(std::string text, const std::function<bool(std::string_view)>& keep, SortedLines& out) {
    out.text = std::move(text);
    out.lines.clear();
    std::size_t start = 0;
    while (start < out.text.size()) {
        std::size_t end = out.text.find('\n', start);
        if (end == std::string::npos) end = out.text.size();
        std::size_t length = end - start;
        if (length > 0 && out.text[start + length - 1] == '\r') --length;
        if (keep(std::string_view(out.text).substr(start, length)))
            out.lines.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length)});
        start = end + 1;
    }
    const auto byKey = [&out](const SortedLines::Line& a, const SortedLines::Line& b) {
        return keyOf(lineAt(out, a)) < keyOf(lineAt(out, b));
    };
    if (!std::is_sorted(out.lines.begin(), out.lines.end(), byKey))
        std::stable_sort(out.lines.begin(), out.lines.end(), byKey);
}

const SortedLines::Line* findLine(const SortedLines& lines, std::string_view key) {
    const auto it = std::lower_bound(lines.lines.begin(), lines.lines.end(), key,
                                     [&lines](const SortedLines::Line& line, std::string_view k) {
                                         return keyOf(lineAt(lines, line)) < k;
                                     });
    if (it == lines.lines.end() || keyOf(lineAt(lines, *it)) != key) return nullptr;
    return &*it;
}

}  // namespace service
