// Composition of one vCard 3.0 card per entry, and of the whole output text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavix {

class NumberLines;

enum class NameMode { PhoneNumber, CustomWithSequence };

struct CardOptions {
    bool stripDashes = false;
    bool stripSpaces = false;
    NameMode nameMode = NameMode::PhoneNumber;
    std::string customName;  // UTF-8; used only by CustomWithSequence
};

// The card with its two placeholders; "{name}" fills N and FN, "{sjh}" the TEL value.
extern const std::string_view CardTemplate;

// Every non-overlapping occurrence of `find`, left to right, byte by byte; the replacement is not scanned again.
// An empty text or an empty `find` gives the text unchanged.
std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replacement);

// The TEL value: the line without ASCII "-" and/or without ASCII " ".
std::string FilterNumber(std::string_view line, bool stripDashes, bool stripSpaces);

// vCard 3.0 TEXT escaping for N and FN: backslash, comma, semicolon, and line breaks as "\n".
std::string EscapeText(std::string_view value);

// The six lines of one card, without a line end after "END:VCARD". `position` counts from 1.
std::string ComposeCard(std::string_view line, std::size_t position, const CardOptions& options);

// Appends the card and its CR LF to `outputText`, in place, so that building the output stays linear.
void AppendCard(std::string& outputText, std::string_view card);

// ComposeCard plus AppendCard without the intermediate string: the hot path of a generate run.
void AppendComposedCard(std::string& outputText,
                        std::string_view line,
                        std::size_t position,
                        const CardOptions& options);

// The complete output text for a list: every card followed by CR LF; empty for an empty list.
std::string ComposeOutputText(const NumberLines& lines, const CardOptions& options);

}  // namespace tavix
