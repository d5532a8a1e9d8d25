// txt2vcf: the whole conversion of a text file of phone numbers into vCard 3.0 cards, without any window.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "card_output.h"
#include "card_writer.h"
#include "command_line.h"
#include "gbk_decoder.h"
#include "input_file.h"
#include "number_list.h"
#include "text.h"
#include "vcard.h"

namespace txt2vcf {
namespace {

struct StandardStreams {
    bool inputOpen = true;
    bool outputOpen = true;
};

// A closed standard descriptor would be handed out by the next open(), and the cards could end up in the input
// or a temporary file could pose as standard output. Fill the gaps with /dev/null, remembering which were real.
StandardStreams TakeStandardDescriptors() {
    StandardStreams streams;
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1) {
            continue;
        }
        if (fd == STDIN_FILENO) {
            streams.inputOpen = false;
        } else if (fd == STDOUT_FILENO) {
            streams.outputOpen = false;
        }
        // Taken in ascending order, the lowest free descriptor is this one.
        open("/dev/null", O_RDWR);
    }
    return streams;
}

// File names go into a one-line message; a line break inside one must not split it.
std::string Printable(const std::string& name) {
    std::string shown = name;
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    return shown;
}

std::string InputName(const CommandLine& line) {
    return line.input == "-" ? "standard input" : Printable(line.input);
}

std::string OutputName(const CommandLine& line) {
    return line.output ? Printable(*line.output) : "standard output";
}

int ReportFailure(const char* action, const std::string& name, int error) {
    std::fprintf(stderr, "txt2vcf: cannot %s %s: %s\n", action, name.c_str(), std::strerror(error));
    return 1;
}

tavix::CardOptions MakeCardOptions(const CommandLine& line) {
    tavix::CardOptions options;
    options.stripDashes = line.stripDashes;
    options.stripSpaces = line.stripSpaces;
    if (line.namePrefix) {
        options.nameMode = tavix::NameMode::CustomWithSequence;
        options.customName = tavix::SanitizeUtf8(*line.namePrefix);
    }
    return options;
}

// The input's bytes live only here: once parsed, the lines hold their own copy.
bool ReadNumberLines(const CommandLine& line, bool stdinOpen, tavix::NumberLines& lines, int& error) {
    if (line.input == "-" && !stdinOpen) {
        error = EBADF;
        return false;
    }
    InputBytes bytes;
    if (!bytes.Load(line.input, error)) {
        return false;
    }
    lines = tavix::ParseNumberLines(bytes.View(), tavix::LegacyDecoder(DecodeGbk));
    return true;
}

bool WriteCards(const tavix::NumberLines& lines, const tavix::CardOptions& options, tavix::ChunkSink& sink) {
    tavix::CardWriter writer(sink);
    for (std::size_t position = 1; position <= lines.Count(); ++position) {
        if (!writer.Add(lines.Entry(position), position, options)) {
            return false;
        }
    }
    return writer.Finish();
}

int Convert(const CommandLine& line) {
    const StandardStreams streams = TakeStandardDescriptors();
    // A reader that went away is a write error like any other, reported and ending with status 1.
    signal(SIGPIPE, SIG_IGN);

    tavix::NumberLines lines;
    int error = 0;
    if (!ReadNumberLines(line, streams.inputOpen, lines, error)) {
        return ReportFailure("read", InputName(line), error);
    }

    CardOutput output;
    const bool opened = line.output ? output.OpenFile(*line.output) : output.OpenStandardOutput(streams.outputOpen);
    if (!opened || !WriteCards(lines, MakeCardOptions(line), output.Sink()) || !output.Commit()) {
        return ReportFailure("write", OutputName(line), output.Error());
    }
    std::fprintf(stderr, "txt2vcf: wrote %zu card%s to %s\n", lines.Count(), lines.Count() == 1 ? "" : "s",
                 OutputName(line).c_str());
    return 0;
}

}  // namespace
}  // namespace txt2vcf

int main(int argc, char** argv) {
    const txt2vcf::ParsedArguments parsed = txt2vcf::ParseArguments(argc, argv);
    switch (parsed.request) {
        case txt2vcf::Request::ShowHelp:
            std::fputs(txt2vcf::kUsage, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        case txt2vcf::Request::UsageError:
            std::fprintf(stderr, "txt2vcf: %s\n%s", parsed.problem.c_str(), txt2vcf::kUsage);
            return 2;
        case txt2vcf::Request::Convert:
            break;
    }
    return txt2vcf::Convert(parsed.commandLine);
}
