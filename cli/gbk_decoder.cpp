#include "gbk_decoder.h"

#include <errno.h>
#include <iconv.h>

#include <cstring>

#include "text.h"

namespace txt2vcf {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

}  // namespace

std::string DecodeGbk(std::string_view bytes) {
    iconv_t converter = iconv_open("UTF-8", "GBK");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        // Without the C library's GBK module the bytes cannot be read as GBK at all; the result must still be
        // valid UTF-8.
        return tavix::SanitizeUtf8(bytes);
    }

    // A GBK pair grows to three bytes of UTF-8 and ASCII stays one, so half as much again is nearly always enough.
    std::string out(bytes.size() + bytes.size() / 2 + 16, '\0');
    std::size_t used = 0;
    char* in = const_cast<char*>(bytes.data());  // iconv's signature; it never writes through it
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        used = static_cast<std::size_t>(outPtr - out.data());
        if (result != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: no GBK character starts at this byte.
        if (out.size() - used < kReplacementCharacter.size()) {
            out.resize(out.size() * 2 + kReplacementCharacter.size());
        }
        std::memcpy(out.data() + used, kReplacementCharacter.data(), kReplacementCharacter.size());
        used += kReplacementCharacter.size();
        ++in;
        --inLeft;
    }
    iconv_close(converter);
    out.resize(used);
    return out;
}

}  // namespace txt2vcf
