#include "filter_buffer.h"

#include <vector>

#include "text.h"

namespace tavix {

std::string BuildFilterBuffer(std::string_view filter) {
    const std::vector<std::string> pieces = SplitText(filter, "|");
    std::string buffer;
    if (pieces.empty()) {
        return buffer;
    }
    for (const std::string& piece : pieces) {
        buffer += piece;
        buffer += '\0';
    }
    // The dialog finds the end of the list by an empty string, hence the second zero.
    buffer += '\0';
    return buffer;
}

}  // namespace tavix
