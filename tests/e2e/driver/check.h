// A small check-and-report framework for the end-to-end driver: a case records its failures and goes on where that
// makes sense; the runner prints one line per case and the totals.
#pragma once

#include <windows.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// Shows bytes readably in a failure message: printable ASCII as is, everything else as \xNN.
std::string Escaped(std::string_view bytes, std::size_t limit = 160);

// Everything a case needs to know about the run it belongs to.
struct Environment {
    std::wstring appExe;      // the TavixvCard.exe that each case copies into its own folder
    std::wstring driverExe;   // this program, which also serves as the stand-in browser
    std::wstring dataDir;     // tests/e2e/data
    std::wstring workDir;     // a scratch folder for the cases' folders
    std::wstring screensDir;  // where screenshots are requested; empty when none are taken
    std::wstring urlLog;      // the file the stand-in browser appends each address to
};

class Context {
  public:
    explicit Context(const Environment& environment) : env(environment) {}

    void Fail(const char* file, int line, const std::string& message);
    bool Failed() const { return !failures.empty(); }

    const Environment& env;
    std::vector<std::string> failures;
    std::string scope;  // names the row of a table that the failures belong to
};

// Builds a message from pieces of any printable kind; wide strings are written as UTF-8.
inline void AppendPiece(std::ostringstream& out, const std::wstring& piece) {
    out << ToUtf8(piece);
}
inline void AppendPiece(std::ostringstream& out, const wchar_t* piece) {
    out << ToUtf8(piece);
}
template <std::size_t N>
void AppendPiece(std::ostringstream& out, const wchar_t (&piece)[N]) {
    out << ToUtf8(piece);
}
inline void AppendPiece(std::ostringstream& out, std::wstring_view piece) {
    out << ToUtf8(piece);
}
template <typename T>
void AppendPiece(std::ostringstream& out, const T& piece) {
    out << piece;
}
template <typename... Pieces>
std::string Message(const Pieces&... pieces) {
    std::ostringstream out;
    (AppendPiece(out, pieces), ...);
    return out.str();
}

using CaseFunction = void (*)(Context&);
struct TestCase {
    const char* name;
    CaseFunction run;
};

// Runs the cases whose names contain `filter` (all when it is empty); gives the number of failed cases.
int RunCases(const std::vector<TestCase>& cases, const Environment& environment, const std::string& filter);

// Prints UTF-8 text to standard output and flushes it, so that the lines survive a crash of the driver.
void Print(const std::string& text);

}  // namespace e2e

// A failed CHECK is recorded and the case goes on; a failed REQUIRE ends the case. `ctx` is the case's Context.
#define CHECK(condition, ...)                                                                              \
    do {                                                                                                   \
        if (!(condition))                                                                                  \
            ctx.Fail(__FILE__, __LINE__, ::e2e::Message("CHECK(" #condition ") failed. ", ##__VA_ARGS__)); \
    } while (0)

#define REQUIRE(condition, ...)                                                                              \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            ctx.Fail(__FILE__, __LINE__, ::e2e::Message("REQUIRE(" #condition ") failed. ", ##__VA_ARGS__)); \
            return;                                                                                          \
        }                                                                                                    \
    } while (0)

// For steps that report their own failure through ctx: end the case when the step did not succeed.
#define STEP(expression)   \
    do {                   \
        if (!(expression)) \
            return;        \
    } while (0)

#define CHECK_EQ(actual, expected, ...)                                                                        \
    do {                                                                                                       \
        const auto& checkActual_ = (actual);                                                                   \
        const auto& checkExpected_ = (expected);                                                               \
        if (!(checkActual_ == checkExpected_))                                                                 \
            ctx.Fail(__FILE__, __LINE__,                                                                       \
                     ::e2e::Message(#actual " is \"", checkActual_, "\", expected \"", checkExpected_, "\". ", \
                                    ##__VA_ARGS__));                                                           \
    } while (0)
