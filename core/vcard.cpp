#include "vcard.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "card_compose.h"
#include "number_list.h"

namespace tavix {

const std::string_view CardTemplate =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:{name}\r\nFN;CHARSET=UTF-8:{name}\r\nTEL;TYPE=CELL:{sjh}\r\n"
    "END:VCARD";

namespace {

constexpr std::string_view kNamePlaceholder = "{name}";
constexpr std::string_view kNumberPlaceholder = "{sjh}";
constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

namespace card_detail {

// The template cut at its placeholders, once. The values are put between the pieces rather than searched for
// and replaced, so a "{name}" that a number happens to contain stays as it is.
const std::vector<TemplatePiece>& TemplatePieces() {
    static const std::vector<TemplatePiece> pieces = [] {
        std::vector<TemplatePiece> result;
        std::string_view rest = CardTemplate;
        for (;;) {
            const std::size_t name = rest.find(kNamePlaceholder);
            const std::size_t number = rest.find(kNumberPlaceholder);
            if (name == std::string_view::npos && number == std::string_view::npos) {
                result.push_back({rest, Slot::None});
                return result;
            }
            const bool nameFirst = name < number;
            const std::size_t at = nameFirst ? name : number;
            result.push_back({rest.substr(0, at), nameFirst ? Slot::Name : Slot::Number});
            rest.remove_prefix(at + (nameFirst ? kNamePlaceholder.size() : kNumberPlaceholder.size()));
        }
    }();
    return pieces;
}

}  // namespace card_detail

using card_detail::AppendCardBody;
using card_detail::AppendEscaped;
using card_detail::AppendFiltered;

std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replacement) {
    if (text.empty() || find.empty()) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t found = text.find(find); found != std::string_view::npos; found = text.find(find, start)) {
        out.append(text, start, found - start);
        out += replacement;
        start = found + find.size();
    }
    out.append(text, start);
    return out;
}

std::string FilterNumber(std::string_view line, bool stripDashes, bool stripSpaces) {
    std::string number;
    AppendFiltered(number, line, stripDashes, stripSpaces);
    return number;
}

std::string EscapeText(std::string_view value) {
    std::string out;
    AppendEscaped(out, value);
    return out;
}

std::string ComposeCard(std::string_view line, std::size_t position, const CardOptions& options) {
    std::string card;
    AppendCardBody(card, line, position, options);
    return card;
}

void AppendCard(std::string& outputText, std::string_view card) {
    outputText += card;
    outputText += kLineEnd;
}

void AppendComposedCard(std::string& outputText,
                        std::string_view line,
                        std::size_t position,
                        const CardOptions& options) {
    AppendCardBody(outputText, line, position, options);
    outputText += kLineEnd;
}

std::string ComposeOutputText(const NumberLines& lines, const CardOptions& options) {
    // One allocation up front: growing a string of a hundred megabytes by doubling touches far more fresh memory.
    std::size_t estimate = 0;
    for (std::size_t position = 1; position <= lines.Count(); ++position) {
        estimate += CardTemplate.size() + 3 * lines.Entry(position).size() + 2 * options.customName.size() + 24;
    }
    std::string out;
    out.reserve(estimate);
    for (std::size_t position = 1; position <= lines.Count(); ++position) {
        AppendComposedCard(out, lines.Entry(position), position, options);
    }
    return out;
}

}  // namespace tavix
