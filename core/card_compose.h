// How a card is put together, for any output that takes `+=` of a string_view or a char: a growing string, or
// the chunked output of CardWriter, which passes very long values on without holding a whole card.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <string_view>
#include <vector>

#include "vcard.h"

namespace tavix::card_detail {

enum class Slot { None, Name, Number };

struct TemplatePiece {
    std::string_view literal;
    Slot slot;  // what follows the literal
};

// The card template cut at its placeholders, once.
const std::vector<TemplatePiece>& TemplatePieces();

inline bool NeedsEscape(char c) {
    return c == '\\' || c == ',' || c == ';' || c == '\r' || c == '\n';
}

template <typename Out>
void AppendEscaped(Out& out, std::string_view value) {
    // Numbers and names hardly ever hold one of these: then the value goes in as it is.
    if (std::none_of(value.begin(), value.end(), NeedsEscape)) {
        out += value;
        return;
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        switch (c) {
            case '\\':
            case ',':
            case ';':
                out += '\\';
                out += c;
                break;
            case '\r':
                // A line break inside a value would end the property: it is written as "\n", CR LF as one.
                out += std::string_view("\\n");
                if (i + 1 < value.size() && value[i + 1] == '\n') {
                    ++i;
                }
                break;
            case '\n':
                out += std::string_view("\\n");
                break;
            default:
                out += c;
        }
    }
}

template <typename Out>
void AppendName(Out& out, std::string_view line, std::size_t position, const CardOptions& options) {
    if (options.nameMode == NameMode::PhoneNumber) {
        AppendEscaped(out, line);
        return;
    }
    AppendEscaped(out, options.customName);
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, position);
    out += std::string_view(digits, static_cast<std::size_t>(result.ptr - digits));
}

template <typename Out>
void AppendFiltered(Out& out, std::string_view line, bool stripDashes, bool stripSpaces) {
    if (!stripDashes && !stripSpaces) {
        out += line;
        return;
    }
    for (const char c : line) {
        if ((stripDashes && c == '-') || (stripSpaces && c == ' ')) {
            continue;
        }
        out += c;
    }
}

template <typename Out>
void AppendCardBody(Out& out, std::string_view line, std::size_t position, const CardOptions& options) {
    for (const TemplatePiece& piece : TemplatePieces()) {
        out += piece.literal;
        if (piece.slot == Slot::Name) {
            AppendName(out, line, position, options);
        } else if (piece.slot == Slot::Number) {
            AppendFiltered(out, line, options.stripDashes, options.stripSpaces);
        }
    }
}

}  // namespace tavix::card_detail
