// The figures of a big list, measured on the real program as a user drives it: the import from the press on Open to
// the new caption, the generate from the click on "生成" to the outcome box, the window's answers meanwhile and the
// program's private memory. Prints a table; the run fails only when the program does not do the work.
#include <algorithm>
#include <cstdio>

#include "app_session.h"
#include "cases_faults.h"
#include "fixtures.h"
#include "stress_helpers.h"
#include "win.h"

namespace e2e {

namespace {

struct Figures {
    std::size_t lines = 0;
    double importMs = 0;
    std::uint64_t importPeak = 0;  // private bytes: the highest sample during the import, or the process's peak
    double emptyMs = 0;            // the generate of an empty list
    double generateMs = 0;
    double filteredMs = 0;
    double longestAnswerMs = 0;  // WM_NULL round trip during the default generate
    std::uint64_t generatePeak = 0;
    std::uint64_t processPeak = 0;  // the process's own PeakPagefileUsage at the end
};

constexpr std::int64_t kDeadlineUs = 120 * 1000000LL;

bool TimedImport(Context& ctx, App& app, const std::wstring& path, Figures& figures) {
    HWND dialog = app.OpenDialog();
    if (!dialog)
        return false;
    HWND name = FindDescendant(dialog, kDialogFileName, L"Edit");
    if (!name || !SetTextOf(name, path)) {
        ctx.Fail(__FILE__, __LINE__, "cannot type the path into the dialog");
        return false;
    }
    HWND button = app.Control(id::kImport);
    const std::wstring caption = ImportCaptionFor(static_cast<int>(figures.lines));
    Watcher watcher(app.Process(), nullptr);
    const std::int64_t start = NowUs();
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    while (TextOf(button) != caption) {
        if (NowUs() - start > kDeadlineUs || !app.Alive()) {
            ctx.Fail(__FILE__, __LINE__, Message("the caption never became ", caption));
            return false;
        }
        Sleep(1);
    }
    figures.importMs = static_cast<double>(NowUs() - start) / 1000.0;
    watcher.Stop();
    figures.importPeak = std::max(watcher.PeakPrivateBytes(), ProcessPeakPrivateBytes(app.Process()));
    return true;
}

bool TimedGenerate(Context& ctx, App& app, double& ms, double* longestAnswerMs, std::uint64_t* peak) {
    if (!app.ShowPage(id::kPageTxt))
        return false;
    HWND button = app.Control(id::kGenerate);
    Watcher watcher(app.Process(), app.Main());
    const std::int64_t start = NowUs();
    if (!app.ClickWindow(button, "生成"))
        return false;
    HWND box = nullptr;
    while (!(box = FindWindowW(L"#32770", kBoxTitle))) {
        if (NowUs() - start > kDeadlineUs || !app.Alive()) {
            ctx.Fail(__FILE__, __LINE__, "no outcome box");
            return false;
        }
        Sleep(1);
    }
    ms = static_cast<double>(NowUs() - start) / 1000.0;
    watcher.Stop();
    if (longestAnswerMs)
        *longestAnswerMs = watcher.LongestAnswerMs();
    if (peak)
        *peak = std::max(*peak, watcher.PeakPrivateBytes());
    const std::wstring text = app.BoxText(box);
    if (text != kSuccess) {
        ctx.Fail(__FILE__, __LINE__, Message("the generate says \"", text, "\""));
        return false;
    }
    return app.DismissBox(box);
}

std::string Mb(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

void BenchTable(Context& ctx) {
    const std::wstring data = EnvironmentText(L"TAVIX_BENCH_DATA");
    REQUIRE(!data.empty(), "TAVIX_BENCH_DATA names no folder of inputs");
    std::vector<Figures> table;
    for (const std::size_t lines : {std::size_t{10000}, std::size_t{100000}, std::size_t{1000000}}) {
        ctx.scope = std::to_string(lines) + " lines";
        Figures figures;
        figures.lines = lines;
        const std::wstring input = JoinPath(data, L"numbers_" + std::to_wstring(lines) + L".txt");
        REQUIRE(FileExists(input), "missing input ", input);
        App app(ctx);
        STEP(app.Start(NewFolder(ctx, L"bench-" + std::to_wstring(lines))));
        STEP(TimedImport(ctx, app, input, figures));
        STEP(TimedGenerate(ctx, app, figures.generateMs, &figures.longestAnswerMs, &figures.generatePeak));
        // A sanity look at the work: one 123-byte card per eleven-digit line.
        CHECK_EQ(FileSize(app.OutputPath()), static_cast<std::uint64_t>(lines) * 123);
        Settings both;
        both.stripDashes = true;
        both.stripSpaces = true;
        both.customName = true;
        STEP(app.Apply(both));
        STEP(TimedGenerate(ctx, app, figures.filteredMs, nullptr, &figures.generatePeak));
        figures.processPeak = ProcessPeakPrivateBytes(app.Process());
        table.push_back(figures);
    }
    ctx.scope.clear();

    const double txt2vcfMs = _wtof(EnvironmentText(L"TAVIX_BENCH_TXT2VCF_MS").c_str());
    const double txt2vcfFilteredMs = _wtof(EnvironmentText(L"TAVIX_BENCH_TXT2VCF_FILTERED_MS").c_str());
    char line[400];
    Print("\n");
    Print(
        "  lines    | import ms | generate ms (us/line) | both filters+自定义 ms (us/line) | WM_NULL max ms |"
        " private MB import / generate / process peak\n");
    for (const Figures& f : table) {
        std::snprintf(line, sizeof line,
                      "  %-8zu | %9.0f | %11.0f (%6.3f)  | %14.0f (%6.3f)            | %14.1f | %s / %s / %s\n",
                      f.lines, f.importMs, f.generateMs, f.generateMs * 1000.0 / f.lines, f.filteredMs,
                      f.filteredMs * 1000.0 / f.lines, f.longestAnswerMs, Mb(f.importPeak).c_str(),
                      Mb(f.generatePeak).c_str(), Mb(f.processPeak).c_str());
        Print(line);
    }
    if (table.size() == 3) {
        const Figures& small = table[0];
        const Figures& big = table[2];
        const double perLineSmall = small.generateMs / small.lines;
        const double perLineBig = big.generateMs / big.lines;
        // A run has a fixed cost (its thread, the file, the outcome box) that weighs most on a short list.
        std::snprintf(line, sizeof line, "  time per line of generate, 1M vs 10k: %.2fx (target: at most 1.3x)\n",
                      perLineBig / perLineSmall);
        Print(line);
        if (txt2vcfMs > 0) {
            std::snprintf(line, sizeof line,
                          "  native txt2vcf on 1M lines: %.0f ms default, %.0f ms both filters + name prefix; "
                          "program/txt2vcf %.2fx and %.2fx (target at most 3x)\n",
                          txt2vcfMs, txt2vcfFilteredMs, big.generateMs / txt2vcfMs,
                          txt2vcfFilteredMs > 0 ? big.filteredMs / txt2vcfFilteredMs : 0.0);
            Print(line);
        }
        Print("  targets: 1M import < 2000 ms, 1M generate < 2000 ms, WM_NULL max < 50 ms, private memory <= 150 MB\n");
    }
}

}  // namespace

std::vector<TestCase> BenchCases() {
    if (EnvironmentText(L"TAVIX_BENCH") != L"1")
        return {};
    return {{"bench/million_lines_table", BenchTable}};
}

}  // namespace e2e
