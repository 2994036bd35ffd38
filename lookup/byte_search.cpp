// Searching and cutting byte strings such as web pages, byte for byte.
#include "lookup/byte_search.h"

#include <climits>

int findBytes(const Bytes& haystack, const Bytes& needle, int start) {
    if (haystack.empty() || needle.empty()) return -1;
    std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= haystack.size() || needle.size() > haystack.size() - from) return -1;
    std::size_t found = haystack.find(needle, from);
    // A position past what an int holds is as good as not found.
    if (found == Bytes::npos || found >= static_cast<std::size_t>(INT_MAX)) return -1;
    return static_cast<int>(found + 1);
}

Bytes midBytes(const Bytes& data, int start, int length) {
    if (data.empty() || length < 1) return Bytes();
    std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= data.size()) return Bytes();
    return data.substr(from, static_cast<std::size_t>(length));
}
