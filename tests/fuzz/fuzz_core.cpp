// libFuzzer target over the whole in-memory conversion: decode, parse, compose.
//
// Input layout: byte 0 holds the options, byte 1 the length of the custom name (0..31), then the custom name, then
// the file's bytes. The checks below are written without the core's own helpers, so that a fault in one of them
// cannot hide itself.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "card_writer.h"
#include "decode.h"
#include "number_list.h"
#include "text.h"
#include "vcard.h"

namespace {

using tavix::CardOptions;
using tavix::NameMode;

[[noreturn]] void Fail(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    if (!detail.empty()) {
        std::fprintf(stderr, "near: ");
        for (unsigned char c : detail.substr(0, 200)) {
            std::fprintf(stderr, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02X", c);
        }
        std::fprintf(stderr, "\n");
    }
    std::abort();
}

void Check(bool ok, const char* what, std::string_view detail = {}) {
    if (!ok) {
        Fail(what, detail);
    }
}

// Strict UTF-8 check, written from the Unicode table of well-formed byte sequences.
bool WellFormedUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    std::size_t i = 0, n = s.size();
    while (i < n) {
        const unsigned char b = p[i];
        std::size_t extra;
        unsigned char lo = 0x80, hi = 0xBF;
        if (b <= 0x7F) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
        } else if (b == 0xE0) {
            extra = 2, lo = 0xA0;
        } else if ((b >= 0xE1 && b <= 0xEC) || b == 0xEE || b == 0xEF) {
            extra = 2;
        } else if (b == 0xED) {
            extra = 2, hi = 0x9F;
        } else if (b == 0xF0) {
            extra = 3, lo = 0x90;
        } else if (b >= 0xF1 && b <= 0xF3) {
            extra = 3;
        } else if (b == 0xF4) {
            extra = 3, hi = 0x8F;
        } else {
            return false;
        }
        if (n - i <= extra) {
            return false;
        }
        if (p[i + 1] < lo || p[i + 1] > hi) {
            return false;
        }
        for (std::size_t k = 2; k <= extra; ++k) {
            if (p[i + k] < 0x80 || p[i + k] > 0xBF) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

// Line ends of the text: CR LF, lone LF, lone CR. The number of lines follows from them.
std::size_t ExpectedLineCount(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    std::size_t ends = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            ++ends;
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else if (text[i] == '\n') {
            ++ends;
        }
    }
    const char last = text.back();
    return ends + ((last == '\r' || last == '\n') ? 0 : 1);
}

// Undoes vCard text escaping; false for a stray backslash or an unescaped comma or semicolon.
bool Unescape(std::string_view value, std::string* out) {
    out->clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == ',' || c == ';') {
            return false;
        }
        if (c != '\\') {
            *out += c;
            continue;
        }
        if (++i == value.size()) {
            return false;
        }
        switch (value[i]) {
            case '\\':
            case ',':
            case ';':
                *out += value[i];
                break;
            case 'n':
                *out += '\n';
                break;
            default:
                return false;
        }
    }
    return true;
}

// What an escaped value gives back: every line break, CR LF included, comes back as one LF.
std::string WithLfBreaks(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r') {
            out += '\n';
            if (i + 1 < value.size() && value[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += value[i];
        }
    }
    return out;
}

std::string Filtered(std::string_view line, const CardOptions& options) {
    std::string out;
    for (char c : line) {
        if ((options.stripDashes && c == '-') || (options.stripSpaces && c == ' ')) {
            continue;
        }
        out += c;
    }
    return out;
}

// Code pages the callers might hand in.
std::string ReplaceHighBytes(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        out += c < 0x80 ? std::string(1, static_cast<char>(c)) : std::string("\xEF\xBF\xBD");
    }
    return out;
}

// A double-byte code page: a high byte and the byte after it make one CJK character.
std::string PairHighBytes(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (i + 1 < bytes.size()) {
            const unsigned char next = static_cast<unsigned char>(bytes[++i]);
            tavix::AppendCodePoint(out, 0x4E00 + ((c & 0x7F) << 8 | next) % 0x5000);
        } else {
            out += "\xEF\xBF\xBD";
        }
    }
    return out;
}

// A careless one that breaks its promise: the decoder must not be trusted blindly.
std::string PassThroughWithZero(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) == 0xFF) {
            c = '\0';
        }
    }
    return out;
}

class CollectingSink : public tavix::ChunkSink {
  public:
    explicit CollectingSink(std::size_t maxChunk) : maxChunk_(maxChunk) {}
    bool Write(std::string_view chunk) override {
        Check(!chunk.empty(), "the writer handed an empty chunk");
        Check(chunk.size() <= maxChunk_, "chunk far larger than asked for");
        text += chunk;
        return true;
    }
    std::string text;

  private:
    std::size_t maxChunk_;
};

void CheckCards(std::string_view output, const tavix::NumberLines& lines, const CardOptions& options) {
    Check(WellFormedUtf8(output), "output is not valid UTF-8", output);
    Check(output.empty() == (lines.Count() == 0), "output empty exactly when the list is");
    static constexpr std::string_view kPrefixes[6] = {
        "BEGIN:VCARD", "VERSION:3.0", "N;CHARSET=UTF-8:", "FN;CHARSET=UTF-8:", "TEL;TYPE=CELL:", "END:VCARD"};
    std::size_t at = 0;
    std::string name;
    for (std::size_t position = 1; position <= lines.Count(); ++position) {
        std::string_view values[6];
        for (int k = 0; k < 6; ++k) {
            const std::size_t end = output.find("\r\n", at);
            Check(end != std::string_view::npos, "card line without CR LF", output.substr(at));
            const std::string_view line = output.substr(at, end - at);
            Check(line.find_first_of("\r\n") == std::string_view::npos, "line break inside a card line", line);
            Check(line.substr(0, kPrefixes[k].size()) == kPrefixes[k], "card line out of order", line);
            Check(k == 2 || k == 3 || k == 4 || line.size() == kPrefixes[k].size(), "fixed line has a tail", line);
            values[k] = line.substr(kPrefixes[k].size());
            at = end + 2;
        }
        const std::string_view entry = lines.Entry(position);
        Check(values[2] == values[3], "N and FN differ", values[2]);
        Check(values[4] == Filtered(entry, options), "TEL is not the filtered line", values[4]);
        Check(Unescape(values[2], &name), "N is not properly escaped", values[2]);
        const std::string want = options.nameMode == NameMode::PhoneNumber
                                     ? std::string(entry)
                                     : WithLfBreaks(options.customName) + std::to_string(position);
        Check(name == want, "wrong contact name", values[2]);
    }
    Check(at == output.size(), "bytes after the last card", output.substr(at));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::uint8_t flags = data[0];
    const std::size_t nameBytes = std::min<std::size_t>(data[1] % 32, size - 2);
    const std::string_view rawName(reinterpret_cast<const char*>(data + 2), nameBytes);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 2 + nameBytes), size - 2 - nameBytes);

    CardOptions options;
    options.stripDashes = flags & 0x01;
    options.stripSpaces = flags & 0x02;
    options.nameMode = (flags & 0x04) ? NameMode::CustomWithSequence : NameMode::PhoneNumber;
    if (flags & 0x08) {
        // As the window gives it: UTF-16 code units, up to the terminating zero.
        std::u16string units;
        for (std::size_t i = 0; i + 1 < rawName.size(); i += 2) {
            const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(rawName[i]) |
                                                        static_cast<unsigned char>(rawName[i + 1]) << 8);
            if (unit == 0) {
                break;
            }
            units += unit;
        }
        options.customName = tavix::Utf16ToUtf8(units);
    } else {
        // As a command line gives it, made valid first.
        options.customName = tavix::SanitizeUtf8(tavix::BytesToText(rawName));
    }
    Check(WellFormedUtf8(options.customName), "custom name conversion gave invalid UTF-8", options.customName);

    tavix::LegacyDecoder legacy;
    switch ((flags >> 4) & 0x03) {
        case 1:
            legacy = ReplaceHighBytes;
            break;
        case 2:
            legacy = PairHighBytes;
            break;
        case 3:
            legacy = PassThroughWithZero;
            break;
        default:
            break;  // no code page at all
    }

    // Decode.
    const std::string text = tavix::DecodeInputText(bytes, legacy);
    Check(WellFormedUtf8(text), "decoded text is not valid UTF-8", text);
    Check(text.find('\0') == std::string::npos, "decoded text holds a zero byte", text);
    const bool utf16 = bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
    const bool utf8Bom = bytes.substr(0, 3) == "\xEF\xBB\xBF";
    const std::string_view beforeZero = bytes.substr(0, bytes.find('\0'));
    if (!utf16 && !utf8Bom && WellFormedUtf8(beforeZero)) {
        Check(text == beforeZero, "valid UTF-8 was not kept as it is", text);
    }
    if (utf8Bom && WellFormedUtf8(beforeZero)) {
        Check(text == beforeZero.substr(3), "UTF-8 after its mark was not kept", text);
    }
    Check(tavix::Utf16ToUtf8(tavix::Utf8ToUtf16(text)) == text, "UTF-16 round trip changed the text", text);

    // The dialog's filter split: joining the pieces gives the text back.
    const std::vector<std::string> pieces = tavix::SplitText(text, "|");
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        joined += (i == 0 ? "" : "|") + pieces[i];
    }
    if (!text.empty() && text.back() == '|') {
        joined += '|';
    }
    Check(joined == text, "SplitText lost or added bytes", text);

    // Parse.
    const tavix::NumberLines lines = tavix::ParseNumberLines(bytes, legacy);
    Check(lines.Count() == ExpectedLineCount(text), "wrong number of lines", text);
    for (std::size_t i = 1; i <= lines.Count(); ++i) {
        Check(lines.Entry(i).find_first_of("\r\n") == std::string_view::npos, "line break inside an entry",
              lines.Entry(i));
    }

    // Compose, once whole and once streamed through a small chunk.
    const std::string output = tavix::ComposeOutputText(lines, options);
    CheckCards(output, lines, options);

    const std::size_t chunkBytes = 1 + (flags >> 6) * 97;
    // A chunk may overflow its size by one card, no more. A card is at most the line, twice the escaped name
    // (an escape doubles a byte at most) and the fixed text with a 20-digit position.
    std::size_t longestEntry = 0;
    for (std::size_t i = 1; i <= lines.Count(); ++i) {
        longestEntry = std::max(longestEntry, lines.Entry(i).size());
    }
    const std::size_t longestCard = longestEntry + 4 * std::max(longestEntry, options.customName.size()) + 160;
    CollectingSink sink(chunkBytes + longestCard);
    tavix::CardWriter writer(sink, chunkBytes);
    for (std::size_t i = 1; i <= lines.Count(); ++i) {
        Check(writer.Add(lines.Entry(i), i, options), "writer refused a card for an accepting sink");
    }
    Check(writer.Finish(), "writer failed with an accepting sink");
    Check(sink.text == output, "streamed output differs from the whole output", sink.text);
    Check(writer.BytesWritten() == output.size(), "writer miscounted its bytes");
    return 0;
}
