// The import command: the user picks a text file, whose lines become the new number list.
#pragma once

#include <string>
#include <string_view>

namespace tavix::app {

// The import task's routine is declared in app.h (ImportNumberFile).

// The whole content of the file at `path` (UTF-8), or no bytes on any failure: the file cannot be opened (missing,
// access denied, held open for writing elsewhere), is empty, is larger than kMaxImportBytes, or cannot be read.
// A short read keeps the bytes that arrived.
std::string ReadWholeFile(const std::string& path);

// Files above this size are not read: the raw bytes, their decoded copy and the list of entries must fit together,
// next to the previous list, in the address space of a 32-bit process.
inline constexpr unsigned long long kMaxImportBytes = 256ull << 20;

// Decodes bytes of the system's ANSI code page (no zero bytes) into UTF-8; bytes that the code page does not
// define become U+FFFD.
std::string DecodeAnsiText(std::string_view bytes);

}  // namespace tavix::app
