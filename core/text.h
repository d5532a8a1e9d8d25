// Byte-level text routines shared by the import parser and the dialog filter.
// Texts are UTF-8 std::string; a "text" never holds a zero byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavix {

// The bytes up to, not including, the first zero byte (all of them when there is none).
std::string_view BytesToText(std::string_view bytes);

// Cuts `text` at every occurrence of `separator` (never empty), scanning byte by byte.
// An empty text gives no pieces; a separator at the very end adds no empty piece.
std::vector<std::string> SplitText(std::string_view text, std::string_view separator);

// Cuts `text` into lines: CR LF, a lone LF and a lone CR each end a line. The same end rule as SplitText:
// one line end at the very end adds no line, each further one adds an empty line. Views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

// The same lines held as their start offsets only, half the memory of views for a long list;
// LineAt gives line `index` (from 0) back.
std::vector<std::size_t> LineStarts(std::string_view text);
std::string_view LineAt(std::string_view text, const std::vector<std::size_t>& starts, std::size_t index);

bool IsValidUtf8(std::string_view bytes);

// Appends `bytes` to `out` with every ill-formed UTF-8 sequence replaced by U+FFFD.
void AppendSanitizedUtf8(std::string& out, std::string_view bytes);
std::string SanitizeUtf8(std::string_view bytes);

// Takes the next code point off the front of `text` (U+FFFD for an ill-formed stretch); false when it is empty.
bool NextCodePoint(std::string_view& text, char32_t* codePoint);

// Appends the UTF-8 form of one code point (U+FFFD for surrogates and values past U+10FFFF).
void AppendCodePoint(std::string& out, char32_t codePoint);

}  // namespace tavix
