// The filter of the open-file dialog in the form that the dialog reads: a run of zero-terminated strings.
#pragma once

#include <string>
#include <string_view>

namespace tavix {

// Cuts `filter` ("description|pattern|description|pattern...") at "|" and lays the pieces one after the other,
// each followed by one zero byte and the last by a second one. An empty piece contributes only its zero byte.
// A filter that gives no pieces gives the empty result, which means "no filter" to the dialog.
std::string BuildFilterBuffer(std::string_view filter);

}  // namespace tavix
