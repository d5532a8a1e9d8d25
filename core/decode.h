// Turns the raw bytes of an imported file into UTF-8 text.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tavix {

// Converts bytes of the legacy (ANSI) code page, holding no zero byte, to UTF-8. Bytes that cannot be converted
// must come out as U+FFFD; the result must be valid UTF-8. The Windows program passes the system's ANSI code
// page; the command line passes GBK.
using LegacyDecoder = std::function<std::string(std::string_view bytes)>;

// Rules, in order:
// - UTF-16 LE or BE byte-order mark: decoded from UTF-16 up to the first zero code unit; unpaired surrogates
//   and an odd last byte become U+FFFD.
// - UTF-8 byte-order mark: removed; the rest is UTF-8 up to the first zero byte, ill-formed parts become U+FFFD.
// - Otherwise the bytes up to the first zero byte: kept when they are valid UTF-8, else given to `legacy`
//   (or, without one, ill-formed parts become U+FFFD).
// The result is always valid UTF-8 without zero bytes.
std::string DecodeInputText(std::string_view bytes, const LegacyDecoder& legacy);

// UTF-16 LE <-> UTF-8, the form Windows hands out. Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace tavix
