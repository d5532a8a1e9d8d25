// The arguments of txt2vcf, read into plain values.
#pragma once

#include <optional>
#include <string>

namespace txt2vcf {

struct CommandLine {
    bool stripDashes = false;
    bool stripSpaces = false;
    std::optional<std::string> namePrefix;  // absent: each card is named by its line
    std::optional<std::string> output;      // absent: standard output
    std::string input;                      // "-": standard input
};

enum class Request { Convert, ShowHelp, UsageError };

struct ParsedArguments {
    Request request = Request::Convert;
    CommandLine commandLine;
    std::string problem;  // what was wrong, for a usage error
};

ParsedArguments ParseArguments(int argc, const char* const* argv);

extern const char kUsage[];

}  // namespace txt2vcf
