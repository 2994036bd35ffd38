// GBK decoding with the C library's iconv.
#include <iconv.h>

#include <cerrno>

#include "service/text_encoding.h"

namespace service {

std::string gbkToUtf8(const std::string& bytes) {
    static const std::string kReplacement = "\xEF\xBF\xBD";
    iconv_t cd = iconv_open("UTF-8", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string();
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (result != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // An invalid or incomplete sequence: replace one byte and go on.
        out += kReplacement;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

}  // namespace service
