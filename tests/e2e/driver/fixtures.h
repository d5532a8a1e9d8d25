// The table of import-and-generate cases kept in tests/e2e/data/cases.tsv, with its input and expected files.
#pragma once

#include <string>
#include <vector>

#include "app_session.h"
#include "check.h"

namespace e2e {

struct TableCase {
    std::string name;
    std::wstring inputPath;     // data\input\<input>
    std::wstring expectedPath;  // data\expected\<name>.vcf
    Settings settings;
    bool touchesSettings = false;  // false: the page "设置" is left exactly as the program starts
    int count = 0;
};

// Reads cases.tsv; records a failure and gives nothing when it cannot.
std::vector<TableCase> ReadTable(Context& ctx);

std::wstring InputPath(const Context& ctx, const std::wstring& name);
std::wstring ImportCaptionFor(int count);  // "共导入：N条"
std::wstring ExpectedPath(const Context& ctx, const std::wstring& caseName);

// The program's output file equals `expected` byte for byte; a difference is reported with its first offset.
bool OutputMatches(Context& ctx, const App& app, const std::string& expected);
bool OutputMatchesFile(Context& ctx, const App& app, const std::wstring& expectedPath);

}  // namespace e2e
