#include "fixtures.h"

#include <sstream>

#include "win.h"

namespace e2e {

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

}  // namespace

std::wstring InputPath(const Context& ctx, const std::wstring& name) {
    return JoinPath(JoinPath(ctx.env.dataDir, L"input"), name);
}

std::wstring ImportCaptionFor(int count) {
    return L"共导入：" + std::to_wstring(count) + L"条";
}

std::wstring ExpectedPath(const Context& ctx, const std::wstring& caseName) {
    return JoinPath(JoinPath(ctx.env.dataDir, L"expected"), caseName + L".vcf");
}

bool OutputMatches(Context& ctx, const App& app, const std::string& expected) {
    const std::optional<std::string> actual = ReadBytes(app.OutputPath());
    if (!actual) {
        ctx.Fail(__FILE__, __LINE__, Message("cannot read the output ", app.OutputPath()));
        return false;
    }
    if (*actual == expected)
        return true;
    std::size_t at = 0;
    while (at < actual->size() && at < expected.size() && (*actual)[at] == expected[at])
        ++at;
    const std::size_t from = at > 40 ? at - 40 : 0;
    ctx.Fail(__FILE__, __LINE__,
             Message("the output (", actual->size(), " bytes) differs from the expected (", expected.size(),
                     " bytes) at byte ", at, ": got \"", Escaped(actual->substr(from), 120), "\", expected \"",
                     Escaped(expected.substr(from), 120), "\""));
    return false;
}

bool OutputMatchesFile(Context& ctx, const App& app, const std::wstring& expectedPath) {
    const std::optional<std::string> expected = ReadBytes(expectedPath);
    if (!expected) {
        ctx.Fail(__FILE__, __LINE__, Message("cannot read the expected file ", expectedPath));
        return false;
    }
    return OutputMatches(ctx, app, *expected);
}

std::vector<TableCase> ReadTable(Context& ctx) {
    std::vector<TableCase> table;
    const std::wstring path = JoinPath(ctx.env.dataDir, L"cases.tsv");
    const std::optional<std::string> bytes = ReadBytes(path);
    if (!bytes) {
        ctx.Fail(__FILE__, __LINE__, Message("cannot read ", path));
        return table;
    }
    std::istringstream lines(*bytes);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const std::vector<std::string> fields = SplitTabs(line);
        if (fields.size() != 7 || (fields[4] != "phone" && fields[4] != "custom")) {
            ctx.Fail(__FILE__, __LINE__, Message("bad line in cases.tsv: ", Escaped(line)));
            return {};
        }
        TableCase item;
        item.name = fields[0];
        item.inputPath = InputPath(ctx, FromUtf8(fields[1]));
        item.expectedPath = ExpectedPath(ctx, FromUtf8(fields[0]));
        item.settings.stripDashes = fields[2] == "1";
        item.settings.stripSpaces = fields[3] == "1";
        item.settings.customName = fields[4] == "custom";
        if (fields[5] != "-")
            item.settings.typedText = FromUtf8(fields[5]);
        item.touchesSettings = item.settings.stripDashes || item.settings.stripSpaces || item.settings.customName ||
                               item.settings.typedText.has_value();
        item.count = std::stoi(fields[6]);
        table.push_back(item);
    }
    return table;
}

}  // namespace e2e
