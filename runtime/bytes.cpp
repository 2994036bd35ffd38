// Byte-string services. Unlike texts these match at every byte position and
// may hold zero bytes.
#include "runtime/bytes.h"

#include <cstring>

int byteLength(const Bytes& data) {
    return static_cast<int>(data.size());
}

Bytes leftBytes(const Bytes& data, int n) {
    if (n <= 0) return Bytes();
    return data.substr(0, static_cast<std::size_t>(n));
}

Bytes rightBytes(const Bytes& data, int n) {
    if (n <= 0) return Bytes();
    if (static_cast<std::size_t>(n) >= data.size()) return data;
    return data.substr(data.size() - static_cast<std::size_t>(n));
}

Bytes replaceBytes(const Bytes& data, const Bytes& find, const Bytes& replacement, int start, int count) {
    if (data.empty() || find.empty()) return data;
    std::size_t at = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (at >= data.size()) return data;
    Bytes result = data.substr(0, at);
    result.reserve(data.size());
    while (count != 0) {
        std::size_t found = data.find(find, at);
        if (found == Bytes::npos) break;
        result.append(data, at, found - at);
        result += replacement;
        at = found + find.size();
        if (count > 0) --count;
    }
    result.append(data, at, Bytes::npos);
    return result;
}

Bytes zeroBytes(int n) {
    return n <= 0 ? Bytes() : Bytes(static_cast<std::size_t>(n), '\0');
}

Text bytesToText(const Bytes& data) {
    std::size_t end = data.find('\0');
    return end == Bytes::npos ? data : data.substr(0, end);
}

Bytes bytesFromMemory(const void* address, int n) {
    if (address == nullptr || n <= 0) return Bytes();
    return Bytes(static_cast<const char*>(address), static_cast<std::size_t>(n));
}
