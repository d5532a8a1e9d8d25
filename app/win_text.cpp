#include "win_text.h"

#include "decode.h"

namespace tavix::app {

// wchar_t is UTF-16 on Windows, so the core's converters serve; they turn unpaired surrogates into U+FFFD.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");

std::wstring Wide(std::string_view utf8) {
    std::u16string u16 = Utf8ToUtf16(utf8);
    return std::wstring(u16.begin(), u16.end());
}

std::string Utf8(std::wstring_view wide) {
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace tavix::app
