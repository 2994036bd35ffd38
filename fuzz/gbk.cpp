// The code-page conversions on hostile bytes: GBK and UTF-8 to UTF-16 and
// back, whole and into buffers too small, with the Windows return rules.
// Decoding what encoding made of a decoded text gives that text again.
#include <cstdint>
#include <string>

#include "runtime/codepage.h"

namespace {

std::u16string decode(int codePage, const std::string& bytes) {
    if (bytes.empty()) return std::u16string();
    int needed = multiByteToWide(codePage, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(needed), u'\0');
    if (needed > 0 && multiByteToWide(codePage, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                                      needed) != needed)
        __builtin_trap();
    return wide;
}

std::string encode(int codePage, const std::u16string& wide) {
    if (wide.empty()) return std::string();
    int needed = wideToMultiByte(codePage, wide.data(), static_cast<int>(wide.size()), nullptr, 0);
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    if (needed > 0 &&
        wideToMultiByte(codePage, wide.data(), static_cast<int>(wide.size()), bytes.data(), needed) != needed)
        __builtin_trap();
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string units(reinterpret_cast<const char16_t*>(bytes.data()), size / 2);

    for (int codePage : {kCodePageGbk, kCodePageUtf8}) {
        std::u16string wide = decode(codePage, bytes);
        if (decode(codePage, encode(codePage, wide)) != wide) __builtin_trap();
        encode(codePage, units);

        // A buffer one unit short: 0, after filling what fits.
        if (wide.size() > 1) {
            std::u16string shortBuffer(wide.size() - 1, u'\0');
            if (multiByteToWide(codePage, bytes.data(), static_cast<int>(size), shortBuffer.data(),
                                static_cast<int>(shortBuffer.size())) != 0)
                __builtin_trap();
        }
        // Zero-terminated input, read up to and including the zero.
        int withZero = multiByteToWide(codePage, bytes.c_str(), -1, nullptr, 0);
        std::u16string zeroRead(static_cast<std::size_t>(withZero), u'\0');
        if (withZero < 1 ||
            multiByteToWide(codePage, bytes.c_str(), -1, zeroRead.data(), withZero) != withZero)
            __builtin_trap();
        const std::u16string wideTerminated = units + u'\0';
        withZero = wideToMultiByte(codePage, wideTerminated.c_str(), -1, nullptr, 0);
        std::string narrowRead(static_cast<std::size_t>(withZero), '\0');
        if (withZero < 1 ||
            wideToMultiByte(codePage, wideTerminated.c_str(), -1, narrowRead.data(), withZero) != withZero)
            __builtin_trap();
    }
    return 0;
}
