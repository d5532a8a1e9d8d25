// Faults of a busy user and a hostile disk. In every case nothing may be lost: the output is either the earlier
// file byte for byte or a complete new one, no temporary file stays behind, and the program keeps running unless
// the case closes it.
#include <algorithm>
#include <cstdio>
#include <set>

#include "app_session.h"
#include "cases_faults.h"
#include "fixtures.h"
#include "stress_helpers.h"
#include "win.h"

namespace e2e {

namespace {

const std::wstring kExe = L"TavixvCard.exe";
constexpr DWORD kLongDeadlineMs = 60000;

// A folder for the case's inputs, apart from the program's folder, which must hold only the program's files.
std::wstring InputFolder(Context& ctx, const std::wstring& caseName) {
    return NewFolder(ctx, caseName + L"-inputs");
}

// Bytes made of pieces, each either literal text or `length` bytes of a repeating pattern, so that the expected
// form of a very large output can be produced piece by piece.
struct Piece {
    std::string text;          // literal, or the repeating pattern
    std::uint64_t length = 0;  // 0: the literal text; otherwise the pattern repeated to this length
    std::uint64_t Size() const { return length ? length : text.size(); }
};

std::uint64_t SizeOf(const std::vector<Piece>& pieces) {
    std::uint64_t size = 0;
    for (const Piece& piece : pieces)
        size += piece.Size();
    return size;
}

void FillFrom(const std::vector<Piece>& pieces, std::uint64_t offset, char* out, std::size_t size) {
    std::uint64_t start = 0;
    for (const Piece& piece : pieces) {
        const std::uint64_t end = start + piece.Size();
        while (size > 0 && offset < end) {
            const std::uint64_t inside = offset - start;
            *out++ = piece.length ? piece.text[inside % piece.text.size()] : piece.text[inside];
            ++offset;
            --size;
        }
        start = end;
    }
}

// Waits for the first outcome box, reads and dismisses it.
bool WaitForOutcome(Context& ctx, App& app, std::wstring& text, DWORD timeoutMs) {
    std::vector<HWND> boxes;
    if (!WaitUntil([&] { return !(boxes = app.Boxes()).empty(); }, timeoutMs, app.Process())) {
        ctx.Fail(__FILE__, __LINE__, Message("no outcome box in ", timeoutMs, " ms", app.Alive() ? "" : " (ended)"));
        return false;
    }
    text = app.BoxText(boxes.front());
    return app.DismissBox(boxes.front());
}

// ---- 20 overlapping clicks on two lists ----

void OverlappingClicksOnTwoLists(Context& ctx) {
    constexpr std::size_t kCountA = 200000;
    constexpr std::size_t kCountB = 150000;
    const std::wstring inputs = InputFolder(ctx, L"faults-overlap");
    const std::wstring listA = JoinPath(inputs, L"A.txt");
    const std::wstring listB = JoinPath(inputs, L"B.txt");
    REQUIRE(WriteBytes(listA, NumberFile(13800000000ULL, kCountA)));
    REQUIRE(WriteBytes(listB, NumberFile(15900000000ULL, kCountB)));
    const std::string outputA = DefaultOutputOfNumbers(13800000000ULL, kCountA);
    const std::string outputB = DefaultOutputOfNumbers(15900000000ULL, kCountB);

    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"faults-overlap")));
    STEP(app.Import(listA, ImportCaptionFor(kCountA)));
    STEP(app.GenerateExpecting(kSuccess));
    STEP(OutputMatches(ctx, app, outputA));
    STEP(app.ShowPage(id::kPageTxt));
    HWND importButton = app.Control(id::kImport);
    HWND generateButton = app.Control(id::kGenerate);
    REQUIRE(importButton && generateButton);

    // A fast user: clicks come in bursts of one to three, before the first of them has shown anything.
    const std::string script = "IGGIGGIGIIGGGIGIGGIG";
    std::size_t next = 0;
    int importsPosted = 0;
    int generatesPosted = 0;
    std::set<HWND> dialogsAnswered;
    std::set<HWND> boxesSeen;
    int successes = 0;
    int failures = 0;
    int overlapping = 0;  // generates in the current stretch of overlapping runs
    bool lastChoseA = true;
    std::string log;
    const ULONGLONG deadline = GetTickCount64() + kLongDeadlineMs;
    for (;;) {
        REQUIRE(app.Alive(), "the program ended during the overlapping clicks; log: ", log);
        bool acted = false;
        for (HWND dialog : TopWindowsTitled(app.ProcessId(), L"#32770", kDialogTitle)) {
            if (dialogsAnswered.count(dialog))
                continue;
            lastChoseA = !lastChoseA;
            dialogsAnswered.insert(dialog);
            log += lastChoseA ? "[A]" : "[B]";
            STEP(app.ChooseInDialog(dialog, lastChoseA ? listA : listB));
            acted = true;
        }
        for (HWND box : app.Boxes()) {
            if (boxesSeen.count(box))
                continue;
            boxesSeen.insert(box);
            const std::wstring text = app.BoxText(box);
            // What the file holds right now: always one whole list's output, whatever the box says.
            const std::optional<std::string> now = ReadBytes(app.OutputPath());
            const bool whole = now && (*now == outputA || *now == outputB);
            if (text == kSuccess) {
                ++successes;
                log += "(ok)";
                CHECK(whole, "a success box while the output is not a complete list (", now ? now->size() : 0,
                      " bytes)");
            } else if (text == kFailure) {
                ++failures;
                log += "(failed)";
                // A run can only lose to another one that replaces the file at the same moment (Wine refuses to
                // replace a file that any handle holds open, also the handle of a run that is replacing it).
                CHECK(overlapping >= 2, "a failure box from a run that overlapped no other generate");
                CHECK(whole, "after a failure the output is not a complete list");
            } else {
                CHECK(false, "unexpected outcome text \"", text, "\"");
            }
            STEP(app.DismissBox(box));
            acted = true;
        }
        const bool allClicked = next == script.size();
        if (allClicked && static_cast<int>(dialogsAnswered.size()) == importsPosted &&
            static_cast<int>(boxesSeen.size()) == generatesPosted)
            break;
        if (!allClicked && IsWindowEnabled(app.Main())) {
            const std::size_t burst = 1 + next % 3;
            for (std::size_t i = 0; i < burst && next < script.size(); ++i) {
                const bool isImport = script[next] == 'I';
                if (!TryClick(isImport ? importButton : generateButton))
                    break;
                if (!isImport) {
                    // Runs overlap from a click made while another run is under way until none is left.
                    overlapping = generatesPosted == static_cast<int>(boxesSeen.size()) ? 1 : overlapping + 1;
                }
                (isImport ? importsPosted : generatesPosted)++;
                log += script[next++];
            }
            acted = true;
        }
        if (GetTickCount64() > deadline) {
            CHECK(false, "the clicks did not settle: ", importsPosted, " imports posted, ", dialogsAnswered.size(),
                  " dialogs seen; ", generatesPosted, " generates posted, ", boxesSeen.size(), " boxes seen; log ",
                  log);
            return;
        }
        if (!acted)
            Sleep(5);
    }
    Print("    clicks, dialogs and outcomes: " + log + "\n");
    CHECK_EQ(importsPosted + generatesPosted, 20);
    CHECK(successes >= 1, "no run of ", generatesPosted, " succeeded");
    Print("    " + std::to_string(successes) + " success and " + std::to_string(failures) + " failure boxes\n");

    // The latest import decides both the caption and the list: they must agree.
    Sleep(1000);
    const std::wstring caption = app.ImportCaption();
    const bool isA = caption == ImportCaptionFor(kCountA);
    CHECK(isA || caption == ImportCaptionFor(kCountB), "the caption reads \"", caption, "\"");
    STEP(app.GenerateExpecting(kSuccess));
    OutputMatches(ctx, app, isA ? outputA : outputB);
    NoTemporaryFiles(ctx, app.Folder(), "after the overlapping clicks");
    app.FolderHoldsOnly({kExe, kOutputName}, "after the overlapping clicks");
    CHECK(app.Alive(), "the program keeps running");
}

// ---- closing the window during a long generate ----

void CloseDuringMillionCardGenerate(Context& ctx) {
    constexpr std::size_t kCount = 1000000;
    const std::wstring input = JoinPath(InputFolder(ctx, L"faults-close"), L"million.txt");
    REQUIRE(WriteBytes(input, NumberFile(13000000000ULL, kCount)));
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"faults-close")));
    const std::string earlier = "an earlier output\r\n";
    REQUIRE(WriteBytes(app.OutputPath(), earlier));
    STEP(app.Import(input, ImportCaptionFor(static_cast<int>(kCount))));
    STEP(app.ShowPage(id::kPageTxt));
    STEP(app.Click(id::kGenerate));
    // Close once the run is writing: its temporary file is there.
    REQUIRE(WaitUntil([&] { return !TemporaryFiles(app.Folder()).empty(); }, 15000, app.Process()),
            "the run never started writing");
    Sleep(50);
    CHECK(app.Boxes().empty(), "the run had already finished before the close");
    const std::int64_t start = NowUs();
    REQUIRE(PostMessageW(app.Main(), WM_CLOSE, 0, 0));
    DWORD exitCode = 1;
    const bool ended = app.WaitForExit(5000, &exitCode);
    const double ms = static_cast<double>(NowUs() - start) / 1000.0;
    REQUIRE(ended, "the program did not end within 5 s of the close");
    char figure[64];
    std::snprintf(figure, sizeof figure, "    the process ended %.0f ms after WM_CLOSE\n", ms);
    Print(figure);
    CHECK(ms <= 1000.0, "the process took ", ms, " ms to end");
    CHECK_EQ(exitCode, 0UL);
    const std::uint64_t size = FileSize(app.OutputPath());
    if (size == earlier.size()) {
        OutputMatches(ctx, app, earlier);
    } else {
        OutputMatches(ctx, app, DefaultOutputOfNumbers(13000000000ULL, kCount));
    }
    NoTemporaryFiles(ctx, app.Folder(), "after the close");
    app.FolderHoldsOnly({kExe, kOutputName}, "after the close");
}

// ---- a disk that fills during the write ----

void DiskFillsDuringWrite(Context& ctx) {
    const std::wstring disk = EnvironmentText(L"TAVIX_FAULT_DISK");
    if (disk.empty()) {
        Print("    SKIPPED: no small disk given (TAVIX_FAULT_DISK is set by run_faults.sh when it may mount one)\n");
        return;
    }
    const std::wstring inputs = InputFolder(ctx, L"faults-disk");
    const std::wstring small = JoinPath(inputs, L"small.txt");
    const std::wstring big = JoinPath(inputs, L"big.txt");
    constexpr std::size_t kBigCount = 100000;  // about 12 MB of cards, more than the disk holds
    REQUIRE(WriteBytes(small, NumberFile(13900000000ULL, 3)));
    REQUIRE(WriteBytes(big, NumberFile(13900000000ULL, kBigCount)));
    App app(ctx);
    STEP(app.Start(JoinPath(disk, L"program")));
    STEP(app.Import(small, ImportCaptionFor(3)));
    STEP(app.GenerateExpecting(kSuccess));
    const std::string earlier = DefaultOutputOfNumbers(13900000000ULL, 3);
    STEP(OutputMatches(ctx, app, earlier));
    STEP(app.Import(big, ImportCaptionFor(static_cast<int>(kBigCount))));
    STEP(app.GenerateExpecting(kFailure));
    OutputMatches(ctx, app, earlier);
    NoTemporaryFiles(ctx, app.Folder(), "after the disk filled");
    app.FolderHoldsOnly({kExe, kOutputName}, "after the disk filled");
    CHECK(app.Alive(), "the program keeps running");
    // With the space given back the same program writes again.
    STEP(app.Import(small, ImportCaptionFor(3)));
    STEP(app.GenerateExpecting(kSuccess));
    OutputMatches(ctx, app, earlier);
}

// ---- inputs of unusual size ----

void SparseThreeGigabyteInput(Context& ctx) {
    const std::wstring input = JoinPath(InputFolder(ctx, L"faults-sparse"), L"sparse-3G.txt");
    REQUIRE(WriteSparseFile(input, std::uint64_t{3} << 30), "cannot make the sparse file");
    REQUIRE(FileSize(input) == (std::uint64_t{3} << 30));
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"faults-sparse")));
    STEP(app.Import(input, ImportCaptionFor(0)));
    CHECK(app.Alive(), "the program survives a 3 GB file");
    STEP(app.GenerateExpecting(kSuccess));
    OutputMatches(ctx, app, "");
    DeleteFileW(input.c_str());
}

void HundredMegabyteSingleLine(Context& ctx) {
    constexpr std::uint64_t kLength = std::uint64_t{100} << 20;
    const std::string pattern = "0123456789";
    const std::wstring input = JoinPath(InputFolder(ctx, L"faults-long-line"), L"one-line.txt");
    {
        std::string line(static_cast<std::size_t>(kLength), '\0');
        for (std::size_t i = 0; i < line.size(); ++i)
            line[i] = pattern[i % pattern.size()];
        REQUIRE(WriteBytes(input, line));
    }
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"faults-long-line")));
    STEP(app.Import(input, ImportCaptionFor(1)));
    STEP(app.ShowPage(id::kPageTxt));
    STEP(app.Click(id::kGenerate));
    std::wstring outcome;
    STEP(WaitForOutcome(ctx, app, outcome, kLongDeadlineMs));
    CHECK_EQ(outcome, std::wstring(kSuccess));
    const std::vector<Piece> card = {{"BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:"},
                                     {pattern, kLength},
                                     {"\r\nFN;CHARSET=UTF-8:"},
                                     {pattern, kLength},
                                     {"\r\nTEL;TYPE=CELL:"},
                                     {pattern, kLength},
                                     {"\r\nEND:VCARD\r\n"}};
    FileMatchesStream(ctx, app.OutputPath(), SizeOf(card),
                      [&](std::uint64_t offset, char* out, std::size_t size) { FillFrom(card, offset, out, size); });
    NoTemporaryFiles(ctx, app.Folder(), "after the generate");
    CHECK(app.Alive(), "the program keeps running");
    DeleteFileW(input.c_str());
}

void TwoMillionEmptyLines(Context& ctx) {
    constexpr std::size_t kCount = 2000000;
    const std::wstring input = JoinPath(InputFolder(ctx, L"faults-empty-lines"), L"empty-lines.txt");
    std::string lines;
    for (std::size_t i = 0; i < kCount; ++i)
        lines += "\r\n";
    REQUIRE(WriteBytes(input, lines));
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"faults-empty-lines")));
    STEP(app.Import(input, ImportCaptionFor(static_cast<int>(kCount))));
    STEP(app.ShowPage(id::kPageTxt));
    STEP(app.Click(id::kGenerate));
    std::wstring outcome;
    STEP(WaitForOutcome(ctx, app, outcome, kLongDeadlineMs));
    CHECK_EQ(outcome, std::wstring(kSuccess));
    // An empty line still gets its card, with nothing after the colons.
    const std::vector<Piece> cards = {{DefaultCard(""), DefaultCard("").size() * kCount}};
    FileMatchesStream(ctx, app.OutputPath(), SizeOf(cards),
                      [&](std::uint64_t offset, char* out, std::size_t size) { FillFrom(cards, offset, out, size); });
    NoTemporaryFiles(ctx, app.Folder(), "after the generate");
    CHECK(app.Alive(), "the program keeps running");
}

// ---- a setting changed during a long run ----

std::string SpacedNumber(std::size_t i) {
    char text[32];
    std::snprintf(text, sizeof text, "138 %04u %04u", static_cast<unsigned>(i / 10000 % 10000),
                  static_cast<unsigned>(i % 10000));
    return text;
}

std::string WithoutSpaces(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

// The cards composed before the tick keep their spaces, the ones after lose them: one switch point, no way back.
// Gives the number of cards before the switch, or nullopt (with a failure) when the output breaks that rule.
std::optional<std::size_t> SwitchPoint(Context& ctx, const std::string& output, std::size_t count) {
    std::size_t at = 0;
    std::optional<std::size_t> switched;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string entry = SpacedNumber(i);
        const std::string kept = DefaultCard(entry);
        const std::string stripped = Card(entry, WithoutSpaces(entry));
        if (!switched && output.compare(at, kept.size(), kept) == 0) {
            at += kept.size();
        } else if (output.compare(at, stripped.size(), stripped) == 0) {
            if (!switched)
                switched = i;
            at += stripped.size();
        } else {
            ctx.Fail(__FILE__, __LINE__,
                     Message("card ", i + 1, switched ? " (after the switch)" : "", " is neither form: \"",
                             Escaped(output.substr(at, 120)), "\""));
            return std::nullopt;
        }
    }
    if (at != output.size()) {
        ctx.Fail(__FILE__, __LINE__, Message("the output has ", output.size() - at, " bytes after the last card"));
        return std::nullopt;
    }
    return switched.value_or(count);
}

void TickSpaceFilterDuringRun(Context& ctx) {
    for (const std::size_t count : {std::size_t{1000000}, std::size_t{3000000}}) {
        ctx.scope = std::to_string(count) + " lines";
        const std::wstring input = JoinPath(InputFolder(ctx, L"faults-tick"), L"spaced.txt");
        {
            std::string lines;
            lines.reserve(count * 15);
            for (std::size_t i = 0; i < count; ++i)
                lines += SpacedNumber(i) + "\r\n";
            REQUIRE(WriteBytes(input, lines));
        }
        App app(ctx);
        STEP(app.Start(NewFolder(ctx, L"faults-tick")));
        STEP(app.Import(input, ImportCaptionFor(static_cast<int>(count))));
        STEP(app.ShowPage(id::kPageTxt));
        STEP(app.Click(id::kGenerate));
        STEP(app.ShowPage(id::kPageSettings));
        STEP(app.Click(id::kCheckSpaces));
        STEP(app.WaitChecked(id::kCheckSpaces, true));
        // Still writing once the tick is in: cards composed from here on must lose their spaces.
        const bool runStillWriting = app.Boxes().empty() && !TemporaryFiles(app.Folder()).empty();
        std::wstring outcome;
        STEP(WaitForOutcome(ctx, app, outcome, kLongDeadlineMs));
        CHECK_EQ(outcome, std::wstring(kSuccess));
        const std::optional<std::string> output = ReadBytes(app.OutputPath());
        REQUIRE(output, "no output");
        const std::optional<std::size_t> before = SwitchPoint(ctx, *output, count);
        if (!before)
            return;
        NoTemporaryFiles(ctx, app.Folder(), "after the generate");
        if (*before > 0 && *before < count) {
            Print("    the tick landed after card " + std::to_string(*before) + " of " + std::to_string(count) + "\n");
            return;
        }
        Print("    the tick landed " + std::string(*before == 0 ? "before the first" : "after the last") + " card of " +
              std::to_string(count) +
              (runStillWriting ? " although the run was still writing when the tick was in" : "") +
              "; trying a longer list\n");
    }
    CHECK(false, "the tick never landed in the middle of a run");
}

}  // namespace

std::vector<TestCase> FaultCases() {
    if (EnvironmentText(L"TAVIX_FAULTS") != L"1")
        return {};
    return {
        {"faults/overlapping_clicks_on_two_lists", OverlappingClicksOnTwoLists},
        {"faults/close_during_million_card_generate", CloseDuringMillionCardGenerate},
        {"faults/disk_fills_during_write", DiskFillsDuringWrite},
        {"faults/sparse_3gb_input", SparseThreeGigabyteInput},
        {"faults/100mb_single_line", HundredMegabyteSingleLine},
        {"faults/2m_empty_lines", TwoMillionEmptyLines},
        {"faults/tick_space_filter_during_run", TickSpaceFilterDuringRun},
    };
}

}  // namespace e2e
