#include "text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tavix {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes the well-formed UTF-8 sequence at the start of `bytes` (not empty). On an ill-formed start it gives
// U+FFFD and the length of the maximal ill-formed subpart, so that each bad stretch costs one replacement.
char32_t DecodeUtf8(const unsigned char* p, std::size_t n, std::size_t* length, bool* valid) {
    const unsigned char lead = p[0];
    *valid = true;
    *length = 1;
    if (lead < 0x80) {
        return lead;
    }
    std::size_t need;
    unsigned char low = 0x80, high = 0xBF;
    char32_t value;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        value = lead & 0x0F;
        if (lead == 0xE0) {
            low = 0xA0;  // no overlong forms
        } else if (lead == 0xED) {
            high = 0x9F;  // no surrogates
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        value = lead & 0x07;
        if (lead == 0xF0) {
            low = 0x90;
        } else if (lead == 0xF4) {
            high = 0x8F;  // nothing past U+10FFFF
        }
    } else {
        *valid = false;
        return kReplacementCharacter;
    }
    for (std::size_t i = 1; i <= need; ++i) {
        if (i >= n || p[i] < low || p[i] > high) {
            *valid = false;
            *length = i;
            return kReplacementCharacter;
        }
        value = (value << 6) | (p[i] & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    *length = need + 1;
    return value;
}

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

std::string_view BytesToText(std::string_view bytes) {
    const void* zero = std::memchr(bytes.data(), 0, bytes.size());
    if (zero == nullptr) {
        return bytes;
    }
    return bytes.substr(0, static_cast<const char*>(zero) - bytes.data());
}

std::vector<std::string> SplitText(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (text.empty() || separator.empty()) {
        if (!text.empty()) {
            pieces.emplace_back(text);
        }
        return pieces;
    }
    std::size_t start = 0;
    for (std::size_t found = text.find(separator); found != std::string_view::npos;
         found = text.find(separator, start)) {
        pieces.emplace_back(text.substr(start, found - start));
        start = found + separator.size();
    }
    // A separator at the very end closes the last piece; it does not open an empty one.
    if (start < text.size()) {
        pieces.emplace_back(text.substr(start));
    }
    return pieces;
}

std::vector<std::size_t> LineStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    if (text.empty()) {
        return starts;
    }
    starts.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    starts.push_back(0);
    for (const char* p = std::find_if(begin, end, IsLineEnd); p != end; p = std::find_if(p, end, IsLineEnd)) {
        // CR LF is one line end; a CR or an LF alone is one too.
        p += (*p == '\r' && p + 1 != end && p[1] == '\n') ? 2 : 1;
        if (p == end) {
            break;  // the line end of the last line opens no further one
        }
        starts.push_back(static_cast<std::size_t>(p - begin));
    }
    return starts;
}

std::string_view LineAt(std::string_view text, const std::vector<std::size_t>& starts, std::size_t index) {
    const std::size_t start = starts[index];
    std::size_t end = index + 1 < starts.size() ? starts[index + 1] : text.size();
    // Every line but the last ends with its line end, and so may the last; a CR can only ever be a line end.
    if (end > start && IsLineEnd(text[end - 1])) {
        end -= (text[end - 1] == '\n' && end - 1 > start && text[end - 2] == '\r') ? 2 : 1;
    }
    return text.substr(start, end - start);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    const std::vector<std::size_t> starts = LineStarts(text);
    std::vector<std::string_view> lines;
    lines.reserve(starts.size());
    for (std::size_t i = 0; i < starts.size(); ++i) {
        lines.push_back(LineAt(text, starts, i));
    }
    return lines;
}

bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    while (n > 0) {
        // Phone lists are almost all ASCII: skip eight such bytes at a time.
        std::uint64_t word;
        if (n >= sizeof word && (std::memcpy(&word, p, sizeof word), (word & 0x8080808080808080ULL) == 0)) {
            p += sizeof word;
            n -= sizeof word;
            continue;
        }
        if (*p < 0x80) {
            ++p;
            --n;
            continue;
        }
        std::size_t length;
        bool valid;
        DecodeUtf8(p, n, &length, &valid);
        if (!valid) {
            return false;
        }
        p += length;
        n -= length;
    }
    return true;
}

void AppendCodePoint(std::string& out, char32_t c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        c = kReplacementCharacter;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendSanitizedUtf8(std::string& out, std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    out.reserve(out.size() + n);
    while (n > 0) {
        std::size_t length;
        bool valid;
        char32_t c = DecodeUtf8(p, n, &length, &valid);
        if (valid) {
            out.append(reinterpret_cast<const char*>(p), length);
        } else {
            AppendCodePoint(out, c);
        }
        p += length;
        n -= length;
    }
}

std::string SanitizeUtf8(std::string_view bytes) {
    std::string out;
    AppendSanitizedUtf8(out, bytes);
    return out;
}

bool NextCodePoint(std::string_view& text, char32_t* codePoint) {
    if (text.empty()) {
        return false;
    }
    std::size_t length;
    bool valid;
    *codePoint = DecodeUtf8(reinterpret_cast<const unsigned char*>(text.data()), text.size(), &length, &valid);
    text.remove_prefix(length);
    return true;
}

}  // namespace tavix
