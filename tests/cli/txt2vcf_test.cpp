// Runs txt2vcf as a program and checks what it writes, where, and with which exit code and message.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

constexpr char kUsageLine[] =
    "usage: txt2vcf [--strip-dashes] [--strip-spaces] [--name-prefix TEXT] [-o OUTPUT] INPUT\n";

// Four entries: a plain number, one with a dash and a space, an empty line, and a last line without a line end.
constexpr char kNumbers[] = "13800138000\r\n138-0013 8001\r\n\r\n+86 139 0013 9002";

enum class StdinFrom { File, Pipe };
enum class StdoutTo { Capture, DevFull, Closed, BrokenPipe };

struct Invocation {
    std::vector<std::string> args;
    std::string stdinBytes;
    StdinFrom stdinFrom = StdinFrom::File;
    StdoutTo stdoutTo = StdoutTo::Capture;
    rlim_t fileSizeLimit = RLIM_INFINITY;
    std::string workingDirectory;
};

Invocation Command(std::vector<std::string> args, std::string stdinBytes = {}) {
    Invocation invocation;
    invocation.args = std::move(args);
    invocation.stdinBytes = std::move(stdinBytes);
    return invocation;
}

struct Outcome {
    int exitCode = -1;  // 128 + the signal when the program was killed
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

// One card, with the CR LF that follows it in the output.
// `count` eleven-digit numbers, one per CR LF line.
std::string ElevenDigitNumbers(int count) {
    std::string numbers;
    numbers.reserve(static_cast<std::size_t>(count) * 13);
    for (int i = 0; i < count; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "13%09d\r\n", i);
        numbers += line;
    }
    return numbers;
}

std::string Card(const std::string& name, const std::string& tel) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:" + name + "\r\nFN;CHARSET=UTF-8:" + name +
           "\r\nTEL;TYPE=CELL:" + tel + "\r\nEND:VCARD\r\n";
}

std::string Utf16LeWithBom(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string Joined(const std::vector<std::string>& args) {
    std::string joined;
    for (const std::string& arg : args) {
        joined += "[" + arg + "] ";
    }
    return joined;
}

class Txt2vcfTest : public testing::Test {
  protected:
    void SetUp() override {
        // A program that stops reading its input early must fail the test, not kill it.
        signal(SIGPIPE, SIG_IGN);
        std::string pattern = (fs::path(testing::TempDir()) / "txt2vcf_test.XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
        root_ = pattern;
        dir_ = root_ / "work";
        io_ = root_ / "io";
        fs::create_directory(dir_);
        fs::create_directory(io_);
    }

    void TearDown() override { fs::remove_all(root_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    // Everything in the work directory: a temporary file left behind shows up here.
    std::set<std::string> WorkFiles() const {
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    Outcome Run(const Invocation& invocation) const;

    fs::path root_;
    fs::path dir_;  // the files the program works on
    fs::path io_;   // the captured standard streams, kept apart from them
};

Outcome Txt2vcfTest::Run(const Invocation& invocation) const {
    const std::string inPath = (io_ / "stdin").string();
    const std::string outPath = (io_ / "stdout").string();
    const std::string errPath = (io_ / "stderr").string();
    WriteFile(inPath, invocation.stdinBytes);
    fs::remove(outPath);

    std::vector<std::string> args = {TXT2VCF_PATH};
    args.insert(args.end(), invocation.args.begin(), invocation.args.end());
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const char* stdoutPath = invocation.stdoutTo == StdoutTo::DevFull ? "/dev/full" : outPath.c_str();

    int inPipe[2] = {-1, -1};
    if (invocation.stdinFrom == StdinFrom::Pipe && pipe2(inPipe, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe: " << std::strerror(errno);
        return {};
    }
    int outPipe[2] = {-1, -1};
    if (invocation.stdoutTo == StdoutTo::BrokenPipe) {
        if (pipe2(outPipe, O_CLOEXEC) != 0) {
            ADD_FAILURE() << "pipe: " << std::strerror(errno);
            return {};
        }
        close(outPipe[0]);  // nobody will ever read
    }

    const pid_t pid = fork();
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        // The program must stand a reader that went away on its own, whatever its parent ignores.
        signal(SIGPIPE, SIG_DFL);
        if (invocation.stdinFrom == StdinFrom::Pipe) {
            dup2(inPipe[0], STDIN_FILENO);
        } else {
            dup2(open(inPath.c_str(), O_RDONLY | O_CLOEXEC), STDIN_FILENO);
        }
        dup2(open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644), STDERR_FILENO);
        switch (invocation.stdoutTo) {
            case StdoutTo::Closed:
                close(STDOUT_FILENO);
                break;
            case StdoutTo::BrokenPipe:
                dup2(outPipe[1], STDOUT_FILENO);
                break;
            case StdoutTo::Capture:
            case StdoutTo::DevFull:
                dup2(open(stdoutPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644), STDOUT_FILENO);
                break;
        }
        if (invocation.fileSizeLimit != RLIM_INFINITY) {
            // Ignored, SIGXFSZ turns into EFBIG from write(): the disk seems to fill up.
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit = {invocation.fileSizeLimit, invocation.fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (!invocation.workingDirectory.empty() && chdir(invocation.workingDirectory.c_str()) != 0) {
            _exit(126);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (outPipe[1] >= 0) {
        close(outPipe[1]);
    }
    if (inPipe[0] >= 0) {
        close(inPipe[0]);
        // More than a pipe holds: the program has to keep reading while this side writes.
        std::string_view rest = invocation.stdinBytes;
        while (!rest.empty()) {
            const ssize_t written = write(inPipe[1], rest.data(), rest.size());
            if (written <= 0) {
                break;  // the program stopped reading; its outcome tells why
            }
            rest.remove_prefix(static_cast<std::size_t>(written));
        }
        close(inPipe[1]);
    }
    if (pid < 0) {
        ADD_FAILURE() << "fork: " << std::strerror(errno);
        return {};
    }
    int status = 0;
    waitpid(pid, &status, 0);

    Outcome outcome;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (invocation.stdoutTo == StdoutTo::Capture) {
        outcome.out = ReadFile(outPath);
    }
    outcome.err = ReadFile(errPath);
    return outcome;
}

TEST_F(Txt2vcfTest, WritesOneCardPerLineToStandardOutput) {
    WriteFile(Path("in.txt"), kNumbers);
    const Outcome outcome = Run(Command({Path("in.txt")}));
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.out,
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:13800138000\r\nFN;CHARSET=UTF-8:13800138000\r\n"
              "TEL;TYPE=CELL:13800138000\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:138-0013 8001\r\nFN;CHARSET=UTF-8:138-0013 8001\r\n"
              "TEL;TYPE=CELL:138-0013 8001\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:\r\nFN;CHARSET=UTF-8:\r\nTEL;TYPE=CELL:\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:+86 139 0013 9002\r\n"
              "FN;CHARSET=UTF-8:+86 139 0013 9002\r\nTEL;TYPE=CELL:+86 139 0013 9002\r\nEND:VCARD\r\n");
    EXPECT_EQ(outcome.err, "txt2vcf: wrote 4 cards to standard output\n");
}

TEST_F(Txt2vcfTest, OptionsShapeNamesAndNumbers) {
    WriteFile(Path("in.txt"), kNumbers);
    struct Case {
        std::vector<std::string> options;
        std::string expected;
    };
    const Case cases[] = {
        {{"--strip-dashes"},
         Card("13800138000", "13800138000") + Card("138-0013 8001", "1380013 8001") + Card("", "") +
             Card("+86 139 0013 9002", "+86 139 0013 9002")},
        {{"--strip-spaces"},
         Card("13800138000", "13800138000") + Card("138-0013 8001", "138-00138001") + Card("", "") +
             Card("+86 139 0013 9002", "+8613900139002")},
        {{"--strip-spaces", "--strip-dashes"},
         Card("13800138000", "13800138000") + Card("138-0013 8001", "13800138001") + Card("", "") +
             Card("+86 139 0013 9002", "+8613900139002")},
        {{"--name-prefix", "客户", "--strip-dashes", "--strip-spaces"},
         Card("客户1", "13800138000") + Card("客户2", "13800138001") + Card("客户3", "") +
             Card("客户4", "+8613900139002")},
        {{"--name-prefix", ""},
         Card("1", "13800138000") + Card("2", "138-0013 8001") + Card("3", "") + Card("4", "+86 139 0013 9002")},
        {{"--name-prefix=Team, A;"},
         Card("Team\\, A\\;1", "13800138000") + Card("Team\\, A\\;2", "138-0013 8001") + Card("Team\\, A\\;3", "") +
             Card("Team\\, A\\;4", "+86 139 0013 9002")},
        // A prefix typed in a legacy terminal: its ill-formed bytes must not reach the card.
        {{"--name-prefix",
          "\xBF\xCD"
          "A"},
         Card("\uFFFD\uFFFD"
              "A1",
              "13800138000") +
             Card("\uFFFD\uFFFD"
                  "A2",
                  "138-0013 8001") +
             Card("\uFFFD\uFFFD"
                  "A3",
                  "") +
             Card("\uFFFD\uFFFD"
                  "A4",
                  "+86 139 0013 9002")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Joined(c.options));
        std::vector<std::string> args = c.options;
        args.push_back(Path("in.txt"));
        const Outcome outcome = Run(Command(args));
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(outcome.out, c.expected);
        EXPECT_EQ(outcome.err, "txt2vcf: wrote 4 cards to standard output\n");
    }
}

TEST_F(Txt2vcfTest, DecodesInputToUtf8) {
    struct Case {
        const char* label;
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"GBK", "\xBF\xCD\xBB\xA7\r\n13800138000\r\n", Card("客户", "客户") + Card("13800138000", "13800138000")},
        // 0xFF is no GBK byte; 0xBF before CR starts a pair that CR cannot end, and must not swallow the line end.
        {"GBK with undecodable bytes", "\xBF\xCD\xBB\xA7\r\n\xFF\r\n\xBF\r\n13800138000",
         Card("客户", "客户") + Card("\uFFFD", "\uFFFD") + Card("\uFFFD", "\uFFFD") +
             Card("13800138000", "13800138000")},
        {"UTF-16 LE with byte-order mark", Utf16LeWithBom(u"13800138000\r\n客户\r\n"),
         Card("13800138000", "13800138000") + Card("客户", "客户")},
        {"UTF-8 with byte-order mark",
         "\xEF\xBB\xBF"
         "13800138000\r\n客户",
         Card("13800138000", "13800138000") + Card("客户", "客户")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        WriteFile(Path("in.txt"), c.bytes);
        const Outcome outcome = Run(Command({Path("in.txt")}));
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(outcome.out, c.expected);
    }
}

TEST_F(Txt2vcfTest, DashReadsStandardInput) {
    WriteFile(Path("in.txt"), kNumbers);
    const Outcome fromFile = Run(Command({"--strip-spaces", Path("in.txt")}));
    const Outcome fromStdin = Run(Command({"--strip-spaces", "-"}, kNumbers));
    EXPECT_EQ(fromStdin.exitCode, 0);
    EXPECT_EQ(fromStdin.out, fromFile.out);
    EXPECT_EQ(fromStdin.err, "txt2vcf: wrote 4 cards to standard output\n");
}

TEST_F(Txt2vcfTest, ReportsTheCountOfCards) {
    struct Case {
        std::string input;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {"", "", "txt2vcf: wrote 0 cards to standard output\n"},
        {"13800138000\r\n", Card("13800138000", "13800138000"), "txt2vcf: wrote 1 card to standard output\n"},
        {"\r\n\r\n", Card("", "") + Card("", ""), "txt2vcf: wrote 2 cards to standard output\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.input));
        const Outcome outcome = Run(Command({"-"}, c.input));
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(outcome.out, c.out);
        EXPECT_EQ(outcome.err, c.err);
    }
}

TEST_F(Txt2vcfTest, OutputFileIsReplacedWhole) {
    WriteFile(Path("in.txt"), kNumbers);
    const std::string out = Path("out.vcf");
    WriteFile(out, std::string(100000, 'x'));  // longer than what replaces it
    ASSERT_EQ(chmod(out.c_str(), 0640), 0);

    const Outcome written = Run(Command({"-o", out, Path("in.txt")}));
    const Outcome printed = Run(Command({Path("in.txt")}));
    EXPECT_EQ(written.exitCode, 0);
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(written.err, "txt2vcf: wrote 4 cards to " + out + "\n");
    EXPECT_EQ(ReadFile(out), printed.out);
    EXPECT_EQ(fs::status(out).permissions(), fs::perms(0640));
    EXPECT_EQ(WorkFiles(), (std::set<std::string>{"in.txt", "out.vcf"}));
}

TEST_F(Txt2vcfTest, NewOutputFileIsCreatedRelativeToTheWorkingDirectory) {
    WriteFile(Path("in.txt"), kNumbers);
    const mode_t previousMask = umask(027);
    Invocation invocation = Command({"-o", "new.vcf", "in.txt"});
    invocation.workingDirectory = dir_.string();
    const Outcome outcome = Run(invocation);
    umask(previousMask);

    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err, "txt2vcf: wrote 4 cards to new.vcf\n");
    EXPECT_EQ(ReadFile(Path("new.vcf")), Run(Command({Path("in.txt")})).out);
    EXPECT_EQ(fs::status(Path("new.vcf")).permissions(), fs::perms(0640));
    EXPECT_EQ(WorkFiles(), (std::set<std::string>{"in.txt", "new.vcf"}));
}

TEST_F(Txt2vcfTest, ReportsFilesThatCannotBeReadOrWritten) {
    const std::string in = Path("in.txt");
    const std::string dir = dir_.string();
    WriteFile(in, kNumbers);
    struct Case {
        std::vector<std::string> args;
        StdoutTo stdoutTo;
        std::string message;
    };
    const Case cases[] = {
        {{Path("missing.txt")},
         StdoutTo::Capture,
         "txt2vcf: cannot read " + Path("missing.txt") + ": No such file or directory\n"},
        {{dir}, StdoutTo::Capture, "txt2vcf: cannot read " + dir + ": Is a directory\n"},
        {{"-o", Path("nowhere/out.vcf"), in},
         StdoutTo::Capture,
         "txt2vcf: cannot write " + Path("nowhere/out.vcf") + ": No such file or directory\n"},
        {{"-o", in + "/out.vcf", in}, StdoutTo::Capture, "txt2vcf: cannot write " + in + "/out.vcf: Not a directory\n"},
        {{"-o", dir, in}, StdoutTo::Capture, "txt2vcf: cannot write " + dir + ": Is a directory\n"},
        {{"-o", "/dev/full", in}, StdoutTo::Capture, "txt2vcf: cannot write /dev/full: No space left on device\n"},
        {{in}, StdoutTo::DevFull, "txt2vcf: cannot write standard output: No space left on device\n"},
        {{in}, StdoutTo::Closed, "txt2vcf: cannot write standard output: Bad file descriptor\n"},
        {{in}, StdoutTo::BrokenPipe, "txt2vcf: cannot write standard output: Broken pipe\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Invocation invocation = Command(c.args);
        invocation.stdoutTo = c.stdoutTo;
        const Outcome outcome = Run(invocation);
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.err, c.message);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(WorkFiles(), std::set<std::string>{"in.txt"});
    }
    // Written to, not renamed over: the device is still there.
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(Txt2vcfTest, FailedRunLeavesExistingOutputAlone) {
    const std::string numbers = ElevenDigitNumbers(2000);
    const std::string in = Path("in.txt");
    const std::string out = Path("out.vcf");
    const std::string previous = "BEGIN:VCARD\r\nVERSION:3.0\r\nEND:VCARD\r\n";
    WriteFile(in, numbers);
    WriteFile(out, previous);
    struct Case {
        const char* label;
        std::vector<std::string> args;
        rlim_t fileSizeLimit;
        std::string message;
    };
    const Case cases[] = {
        {"input missing",
         {"-o", out, Path("missing.txt")},
         RLIM_INFINITY,
         "txt2vcf: cannot read " + Path("missing.txt") + ": No such file or directory\n"},
        // About 200 KB of cards against a limit of 4 KB: the temporary file fails part way.
        {"disk full while writing", {"-o", out, in}, 4096, "txt2vcf: cannot write " + out + ": File too large\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Invocation invocation = Command(c.args);
        invocation.fileSizeLimit = c.fileSizeLimit;
        const Outcome outcome = Run(invocation);
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.err, c.message);
        EXPECT_EQ(ReadFile(out), previous);
        EXPECT_EQ(WorkFiles(), (std::set<std::string>{"in.txt", "out.vcf"}));
    }
}

TEST_F(Txt2vcfTest, InterruptedRunLeavesNoTemporaryFile) {
    // Enough cards (about 300 MB) that the run is still writing when the temporary file is seen.
    const std::string numbers = ElevenDigitNumbers(2500000);
    const std::string in = Path("in.txt");
    const std::string out = Path("out.vcf");
    WriteFile(in, numbers);
    for (int signalNumber : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(strsignal(signalNumber));
        const pid_t pid = fork();
        ASSERT_GE(pid, 0) << std::strerror(errno);
        if (pid == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDERR_FILENO);
            execl(TXT2VCF_PATH, TXT2VCF_PATH, "-o", out.c_str(), in.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        bool sawTemporary = false;
        for (int poll = 0; poll < 20000 && !sawTemporary; ++poll) {
            sawTemporary = WorkFiles().size() > 1;
            if (!sawTemporary) {
                usleep(100);
            }
        }
        kill(pid, signalNumber);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(sawTemporary) << "the run ended before its temporary file was seen";
        if (WIFSIGNALED(status)) {
            EXPECT_EQ(WTERMSIG(status), signalNumber);
            EXPECT_EQ(WorkFiles(), (std::set<std::string>{"in.txt"}));
        } else {
            // The run finished before the signal arrived: then the output is complete and alone.
            EXPECT_EQ(WEXITSTATUS(status), 0);
            EXPECT_EQ(WorkFiles(), (std::set<std::string>{"in.txt", "out.vcf"}));
            fs::remove(out);
        }
    }
}

TEST_F(Txt2vcfTest, ManyLinesComeOutWholeAcrossChunks) {
    // About 400 KB of input through a pipe, more than it holds at once, and 3.5 MB of cards: several chunks.
    constexpr int kLines = 30000;
    std::string numbers;
    std::string expected;
    for (int i = 1; i <= kLines; ++i) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%08d", i);
        numbers += std::string("138-") + digits + "\r\n";
        expected += Card("n" + std::to_string(i), std::string("138") + digits);
    }
    WriteFile(Path("in.txt"), numbers);

    Invocation piped = Command({"--strip-dashes", "--name-prefix", "n", "-"}, numbers);
    piped.stdinFrom = StdinFrom::Pipe;
    const Outcome printed = Run(piped);
    EXPECT_EQ(printed.exitCode, 0);
    EXPECT_TRUE(printed.out == expected) << "standard output differs from the expected " << kLines << " cards";

    const Outcome written =
        Run(Command({"--strip-dashes", "--name-prefix", "n", "-o", Path("out.vcf"), Path("in.txt")}));
    EXPECT_EQ(written.exitCode, 0);
    EXPECT_EQ(written.err, "txt2vcf: wrote 30000 cards to " + Path("out.vcf") + "\n");
    EXPECT_TRUE(ReadFile(Path("out.vcf")) == expected) << "the file differs from the expected " << kLines << " cards";
}

TEST_F(Txt2vcfTest, UsageErrorsExitWithTwoAndShowTheUsage) {
    struct Case {
        std::vector<std::string> args;
        std::string problem;
    };
    const Case cases[] = {
        {{}, "missing INPUT"},
        {{"--strip-dashes", "-o", Path("out.vcf")}, "missing INPUT"},
        {{"--bogus", "in.txt"}, "unknown option --bogus"},
        {{"--strip-dashes=yes", "in.txt"}, "unknown option --strip-dashes=yes"},
        {{"in.txt", "-o"}, "option -o needs an argument"},
        {{"in.txt", "--name-prefix"}, "option --name-prefix needs an argument"},
        {{"-o", Path("out.vcf"), "a.txt", "b.txt"}, "unexpected argument b.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Joined(c.args));
        const Outcome outcome = Run(Command(c.args));
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err.substr(0, outcome.err.find('\n') + 1), "txt2vcf: " + c.problem + "\n");
        EXPECT_NE(outcome.err.find(kUsageLine), std::string::npos) << outcome.err;
        EXPECT_TRUE(WorkFiles().empty());
    }
}

TEST_F(Txt2vcfTest, HelpGoesToStandardOutput) {
    for (const char* option : {"--help", "-h"}) {
        SCOPED_TRACE(option);
        const Outcome outcome = Run(Command({option, "ignored.txt"}));
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(outcome.out.substr(0, std::strlen(kUsageLine)), kUsageLine);
        EXPECT_EQ(outcome.err, "");
    }
}

}  // namespace
