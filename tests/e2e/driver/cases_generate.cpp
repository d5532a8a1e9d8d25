// The generate command: where the file goes, what a failure leaves behind, overlapping runs.
#include "app_session.h"
#include "cases.h"
#include "fixtures.h"
#include "win.h"

namespace e2e {

namespace {

const std::wstring kExe = L"TavixvCard.exe";

void GenerateBeforeImport(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"generate-empty")));
    STEP(app.ShowPage(id::kPageTxt));
    STEP(app.Click(id::kGenerate));
    std::vector<HWND> boxes;
    REQUIRE(WaitUntil([&] { return !(boxes = app.Boxes()).empty(); }, 15000, app.Process()), "no outcome box");
    CHECK_EQ(app.BoxText(boxes[0]), std::wstring(kSuccess));
    CHECK(!GetWindow(boxes[0], GW_OWNER), "the outcome box has no owner");
    CHECK(IsWindowEnabled(app.Main()), "the main window stays usable while the box is up");
    // An OK button only, and no icon (Wine keeps an empty icon control even then, so its icon is what counts).
    CHECK(FindDescendant(boxes[0], IDOK, L"Button"), "the box has an OK button");
    CHECK(!FindDescendant(boxes[0], IDCANCEL) && !FindDescendant(boxes[0], IDYES) && !FindDescendant(boxes[0], IDNO),
          "the box has no other button");
    if (HWND icon = FindDescendant(boxes[0], 0x440))
        CHECK(Ask(icon, STM_GETICON) == std::optional<LRESULT>(0), "the box shows no icon");
    Screenshot(ctx, "4-outcome-box");
    STEP(app.DismissBox(boxes[0]));
    const std::optional<std::string> output = ReadBytes(app.OutputPath());
    REQUIRE(output, "no output file ", app.OutputPath());
    CHECK_EQ(output->size(), std::size_t{0}, "before any import the output is empty");
    app.FolderHoldsOnly({kExe, kOutputName}, "after generating");
    STEP(app.Close());
}

void GenerateWhileOutputHeldOpen(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"generate-held")));
    const std::string earlier = "an earlier output\r\nthat must survive\r\n";
    REQUIRE(WriteBytes(app.OutputPath(), earlier));
    STEP(app.Import(InputPath(ctx, L"crlf_final.txt"), ImportCaptionFor(3)));
    // Held open by another program with no sharing at all.
    HANDLE held =
        CreateFileW(app.OutputPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(held != INVALID_HANDLE_VALUE, "cannot hold the output open");
    const bool generated = app.GenerateExpecting(kFailure);
    CloseHandle(held);
    STEP(generated);
    OutputMatches(ctx, app, earlier);
    app.FolderHoldsOnly({kExe, kOutputName}, "after the failed generate");
    // Once the file is free again, the same list is written in full.
    STEP(app.GenerateExpecting(kSuccess));
    OutputMatchesFile(ctx, app, ExpectedPath(ctx, L"crlf_final"));
    app.FolderHoldsOnly({kExe, kOutputName}, "after the second generate");
}

void OutputNameTakenByFolder(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"generate-folder")));
    REQUIRE(MakeFolder(app.OutputPath()));
    STEP(app.Import(InputPath(ctx, L"crlf_final.txt"), ImportCaptionFor(3)));
    STEP(app.GenerateExpecting(kFailure));
    CHECK(IsFolder(app.OutputPath()), "the folder is left as it was");
    CHECK(ListFolder(app.OutputPath()).empty(), "nothing was written into the folder");
    app.FolderHoldsOnly({kExe, kOutputName}, "after the failed generate");
    STEP(app.Close());
}

void TwoQuickGenerates(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"generate-twice")));
    STEP(app.Import(InputPath(ctx, L"utf8_chinese.txt"), ImportCaptionFor(2)));
    STEP(app.ShowPage(id::kPageTxt));
    STEP(app.Click(id::kGenerate));
    STEP(app.Click(id::kGenerate));
    std::vector<HWND> boxes;
    const bool both = WaitUntil([&] { return (boxes = app.Boxes()).size() >= 2; }, 15000, app.Process());
    CHECK(both, "two clicks must give two outcome boxes; got ", boxes.size());
    CHECK(boxes.size() <= 2, "more boxes than clicks: ", boxes.size());
    int successes = 0;
    for (HWND box : boxes) {
        const std::wstring text = app.BoxText(box);
        CHECK(text == kSuccess || text == kFailure, "unexpected outcome \"", text, "\"");
        successes += text == kSuccess;
    }
    // Overlapping runs may collide on the file, but whichever wins writes it whole.
    CHECK(successes >= 1, "at least one of two overlapping runs writes the file");
    for (HWND box : boxes)
        STEP(app.DismissBox(box));
    OutputMatchesFile(ctx, app, ExpectedPath(ctx, L"utf8_chinese"));
    app.FolderHoldsOnly({kExe, kOutputName}, "after two overlapping generates");
}

void ProgramFolderOutsideCodePage(Context& ctx) {
    App app(ctx);
    // Hangul has no place in code page 936: only the W interfaces can reach this folder.
    STEP(app.Start(NewFolder(ctx, L"프로그램 폴더")));
    STEP(app.Import(InputPath(ctx, L"crlf_no_final.txt"), ImportCaptionFor(3)));
    STEP(app.GenerateExpecting(kSuccess));
    OutputMatchesFile(ctx, app, ExpectedPath(ctx, L"crlf_no_final"));
    app.FolderHoldsOnly({kExe, kOutputName}, "after generating");
}

void ProgramFolderWithLongPath(Context& ctx) {
    // The folder is as long as a program's folder can be (CreateProcess takes a path of 259 characters at most):
    // the output's path just fits the old 260-character limit, its temporary file's path does not.
    constexpr std::size_t kFolderLength = 244;
    std::wstring folder = NewFolder(ctx, L"long");
    while (folder.size() < kFolderLength) {
        const std::size_t room = kFolderLength - folder.size() - 1;
        folder += L"\\" + std::wstring(std::min<std::size_t>(room, 60), L'长');
        REQUIRE(MakeFolder(folder), "cannot create ", folder);
    }
    App app(ctx);
    STEP(app.Start(folder));
    REQUIRE(app.OutputPath().size() + std::wstring(L".1.1.0.tmp").size() >= MAX_PATH, "the output path is only ",
            app.OutputPath().size(), " long");
    STEP(app.Import(InputPath(ctx, L"crlf_no_final.txt"), ImportCaptionFor(3)));
    STEP(app.GenerateExpecting(kSuccess));
    OutputMatchesFile(ctx, app, ExpectedPath(ctx, L"crlf_no_final"));
    app.FolderHoldsOnly({kExe, kOutputName}, "after generating");
}

}  // namespace

std::vector<TestCase> GenerateCases() {
    return {
        {"generate_before_import", GenerateBeforeImport},
        {"generate_while_output_held_open", GenerateWhileOutputHeldOpen},
        {"generate_onto_a_folder_of_that_name", OutputNameTakenByFolder},
        {"two_quick_generates", TwoQuickGenerates},
        {"program_folder_outside_code_page", ProgramFolderOutsideCodePage},
        {"program_folder_with_long_path", ProgramFolderWithLongPath},
    };
}

}  // namespace e2e
