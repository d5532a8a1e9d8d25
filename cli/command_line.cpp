#include "command_line.h"

#include <string_view>
#include <vector>

namespace txt2vcf {

const char kUsage[] =
    "usage: txt2vcf [--strip-dashes] [--strip-spaces] [--name-prefix TEXT] [-o OUTPUT] INPUT\n"
    "Turns a text file of phone numbers, one per line, into vCard 3.0 cards (one per line, empty lines too).\n"
    "INPUT may be UTF-8, UTF-16 with a byte-order mark, or GBK; \"-\" reads standard input.\n"
    "\n"
    "  --strip-dashes      remove \"-\" from the numbers in the TEL lines\n"
    "  --strip-spaces      remove \" \" from the numbers in the TEL lines\n"
    "  --name-prefix TEXT  name the cards TEXT1, TEXT2, ... (default: each card is named by its line)\n"
    "  -o OUTPUT           write the cards to OUTPUT, replacing it whole (default: standard output)\n"
    "  -h, --help          show this help\n";

namespace {

ParsedArguments UsageError(std::string problem) {
    ParsedArguments parsed;
    parsed.request = Request::UsageError;
    parsed.problem = std::move(problem);
    return parsed;
}

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

}  // namespace

ParsedArguments ParseArguments(int argc, const char* const* argv) {
    ParsedArguments parsed;
    CommandLine& line = parsed.commandLine;
    std::vector<std::string_view> operands;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        // A lone "-" is standard input, not an option; after "--" everything is a file name.
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            parsed.request = Request::ShowHelp;
            return parsed;
        } else if (arg == "--strip-dashes") {
            line.stripDashes = true;
        } else if (arg == "--strip-spaces") {
            line.stripSpaces = true;
        } else if (arg == "--name-prefix" || arg == "-o") {
            if (i + 1 == argc) {
                return UsageError("option " + std::string(arg) + " needs an argument");
            }
            (arg == "-o" ? line.output : line.namePrefix) = std::string(argv[++i]);
        } else if (StartsWith(arg, "--name-prefix=")) {
            line.namePrefix = std::string(arg.substr(std::string_view("--name-prefix=").size()));
        } else if (StartsWith(arg, "-o") && !StartsWith(arg, "--")) {
            line.output = std::string(arg.substr(2));
        } else {
            return UsageError("unknown option " + std::string(arg));
        }
    }
    if (operands.empty()) {
        return UsageError("missing INPUT");
    }
    if (operands.size() > 1) {
        return UsageError("unexpected argument " + std::string(operands[1]));
    }
    line.input = std::string(operands[0]);
    return parsed;
}

}  // namespace txt2vcf
