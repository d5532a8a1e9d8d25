// The two conversions at the Win32 boundary: texts are UTF-8 inside, UTF-16 only where Windows wants it.
#pragma once

#include <string>
#include <string_view>

namespace tavix::app {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace tavix::app
