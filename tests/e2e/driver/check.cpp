#include "check.h"

#include <cstdio>

namespace e2e {

std::string ToUtf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(std::string_view text) {
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

std::string Escaped(std::string_view bytes, std::size_t limit) {
    std::string out;
    static const char kHex[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    if (bytes.size() > limit)
        out += "...";
    return out;
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void Context::Fail(const char* file, int line, const std::string& message) {
    std::string where = file;
    const std::size_t slash = where.find_last_of("/\\");
    if (slash != std::string::npos)
        where.erase(0, slash + 1);
    failures.push_back(where + ":" + std::to_string(line) + ": " + (scope.empty() ? "" : "[" + scope + "] ") + message);
}

int RunCases(const std::vector<TestCase>& cases, const Environment& environment, const std::string& filter) {
    int passed = 0;
    int failed = 0;
    for (const TestCase& testCase : cases) {
        if (!filter.empty() && std::string(testCase.name).find(filter) == std::string::npos)
            continue;
        Context ctx(environment);
        const ULONGLONG start = GetTickCount64();
        testCase.run(ctx);
        const double seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
        char timing[32];
        std::snprintf(timing, sizeof timing, " (%.1f s)", seconds);
        if (ctx.Failed()) {
            ++failed;
            Print(std::string("FAIL ") + testCase.name + timing + "\n");
            for (const std::string& failure : ctx.failures)
                Print("    " + failure + "\n");
        } else {
            ++passed;
            Print(std::string("PASS ") + testCase.name + timing + "\n");
        }
    }
    Print(std::to_string(passed) + " passed, " + std::to_string(failed) + " failed\n");
    return failed;
}

}  // namespace e2e
