#include "decode.h"

#include "text.h"

namespace tavix {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

// Decodes UTF-16 code units, given by `unitAt`, into UTF-8.
template <typename UnitAt>
std::string DecodeUtf16(std::size_t count, UnitAt unitAt) {
    std::string out;
    out.reserve(count + count / 2);
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count) {
            const char32_t next = unitAt(i + 1);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        // A lone surrogate becomes U+FFFD by AppendCodePoint.
        AppendCodePoint(out, unit);
    }
    return out;
}

std::string DecodeUtf16Bytes(std::string_view bytes, bool littleEndian) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto unitAt = [p, littleEndian](std::size_t i) {
        const unsigned char a = p[2 * i], b = p[2 * i + 1];
        return static_cast<char32_t>(littleEndian ? (a | (b << 8)) : ((a << 8) | b));
    };
    std::size_t units = bytes.size() / 2;
    bool cut = false;
    for (std::size_t i = 0; i < units; ++i) {
        if (unitAt(i) == 0) {
            units = i;
            cut = true;
            break;
        }
    }
    std::string out = DecodeUtf16(units, unitAt);
    // A last odd byte is half a character: shown as U+FFFD rather than lost without a trace.
    if (!cut && bytes.size() % 2 != 0) {
        AppendCodePoint(out, kReplacementCharacter);
    }
    return out;
}

}  // namespace

std::string DecodeInputText(std::string_view bytes, const LegacyDecoder& legacy) {
    if (StartsWith(bytes, "\xFF\xFE")) {
        return DecodeUtf16Bytes(bytes.substr(2), true);
    }
    if (StartsWith(bytes, "\xFE\xFF")) {
        return DecodeUtf16Bytes(bytes.substr(2), false);
    }
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        return SanitizeUtf8(BytesToText(bytes.substr(3)));
    }
    const std::string_view text = BytesToText(bytes);
    if (IsValidUtf8(text)) {
        return std::string(text);
    }
    if (legacy) {
        std::string decoded = legacy(text);
        // The decoder is the caller's: hold it to the promise of valid UTF-8 without zero bytes.
        const std::string_view kept = BytesToText(decoded);
        if (kept.size() == decoded.size() && IsValidUtf8(decoded)) {
            return decoded;
        }
        return SanitizeUtf8(kept);
    }
    return SanitizeUtf8(text);
}

std::string Utf16ToUtf8(std::u16string_view text) {
    return DecodeUtf16(text.size(), [text](std::size_t i) { return static_cast<char32_t>(text[i]); });
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    char32_t c;
    while (NextCodePoint(text, &c)) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

}  // namespace tavix
