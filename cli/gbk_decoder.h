// The legacy code page of the command line: input that is neither UTF-8 nor UTF-16 is taken as GBK.
#pragma once

#include <string>
#include <string_view>

namespace txt2vcf {

// GBK bytes to UTF-8 through the C library's iconv. A byte that starts no GBK character becomes U+FFFD and the
// decoding goes on with the next byte, so a broken lead byte never swallows the line end after it.
std::string DecodeGbk(std::string_view bytes);

}  // namespace txt2vcf
