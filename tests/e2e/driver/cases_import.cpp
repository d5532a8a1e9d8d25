// The import through the system's open-file dialog, and the whole conversion from input file to output file.
#include <algorithm>

#include "app_session.h"
#include "cases.h"
#include "fixtures.h"
#include "win.h"

namespace e2e {

namespace {

const std::wstring kExe = L"TavixvCard.exe";

bool CopyInput(Context& ctx, const std::wstring& inputName, const std::wstring& target) {
    if (CopyFileW(InputPath(ctx, inputName).c_str(), target.c_str(), FALSE))
        return true;
    ctx.Fail(__FILE__, __LINE__, Message("cannot copy ", inputName, " to ", target));
    return false;
}

// Whether a listing of the dialog names the file; the dialog may hide known extensions.
bool Lists(const std::vector<std::wstring>& items, const std::wstring& file) {
    const std::wstring stem = file.substr(0, file.find_last_of(L'.'));
    return std::any_of(items.begin(), items.end(),
                       [&](const std::wstring& item) { return item == file || item == stem; });
}

std::string Listing(const std::vector<std::wstring>& items) {
    std::wstring out;
    for (const std::wstring& item : items)
        out += (out.empty() ? L"" : L", ") + item;
    return ToUtf8(L"[" + out + L"]");
}

// Every row of data/cases.tsv: its settings, its input through the dialog, its output byte for byte.
void ConversionTable(Context& ctx) {
    const std::vector<TableCase> table = ReadTable(ctx);
    REQUIRE(!table.empty(), "the table of cases is empty");
    for (const TableCase& row : table) {
        ctx.scope = row.name;
        App app(ctx);
        if (!app.Start(NewFolder(ctx, L"table-" + FromUtf8(row.name))))
            continue;
        if (row.touchesSettings && !app.Apply(row.settings))
            continue;
        if (!app.Import(row.inputPath, ImportCaptionFor(row.count)))
            continue;
        if (!app.GenerateExpecting(kSuccess))
            continue;
        OutputMatchesFile(ctx, app, row.expectedPath);
        app.FolderHoldsOnly({kExe, kOutputName}, "after generating");
    }
    ctx.scope.clear();
}

void DialogTitleFilterAndFolder(Context& ctx) {
    App app(ctx);
    const std::wstring folder = NewFolder(ctx, L"dialog");
    STEP(CopyInput(ctx, L"crlf_final.txt", JoinPath(folder, L"numbers.txt")));
    REQUIRE(WriteBytes(JoinPath(folder, L"other.csv"), "13800138000\r\n"));
    STEP(app.Start(folder));
    HWND dialog = app.OpenDialog();
    REQUIRE(dialog);
    CHECK(GetWindow(dialog, GW_OWNER) == app.Main(), "the dialog is owned by the main window");
    CHECK(!IsWindowEnabled(app.Main()), "the main window is disabled while the dialog is up");
    HWND types = FindDescendant(dialog, kDialogFileType, L"ComboBox");
    CHECK(types, "the dialog has no file-type list (ID 0x470)");
    if (types) {
        CHECK(Ask(types, CB_GETCOUNT) == std::optional<LRESULT>(1), "one file type only");
        wchar_t text[256] = {};
        DWORD_PTR length = 0;
        SendMessageTimeoutW(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
        CHECK_EQ(std::wstring(text), std::wstring(L"文本文件"), "the file type's description");
    }
    // Started from another folder, the program must still open the dialog in its own folder, and show only
    // "*.txt" files there.
    const std::vector<std::wstring> items = app.DialogListing(dialog);
    CHECK(Lists(items, L"numbers.txt"), "the dialog should show numbers.txt of the program's folder: ", Listing(items));
    CHECK(!Lists(items, L"other.csv") && !Lists(items, kExe), "the filter *.txt hides other files: ", Listing(items));
    Screenshot(ctx, "5-open-dialog");
    // A bare name is taken from the folder the dialog shows.
    STEP(app.ChooseInDialog(dialog, L"numbers.txt"));
    REQUIRE(WaitUntil([&] { return app.ImportCaption() == ImportCaptionFor(3); }, 15000, app.Process()),
            "the caption reads \"", app.ImportCaption(), "\"");
    CHECK(IsWindowEnabled(app.Main()), "the main window is enabled again after the dialog");
    STEP(app.GenerateExpecting(kSuccess));
    OutputMatchesFile(ctx, app, ExpectedPath(ctx, L"crlf_final"));
}

void CancelFirstImport(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"cancel-first")));
    HWND dialog = app.OpenDialog();
    REQUIRE(dialog);
    STEP(app.CancelDialog(dialog));
    Sleep(500);
    CHECK_EQ(app.ImportCaption(), std::wstring(kImportCaptionInitial), "a cancel changes nothing");
    STEP(app.GenerateExpecting(kSuccess));
    const std::optional<std::string> output = ReadBytes(app.OutputPath());
    REQUIRE(output);
    CHECK_EQ(output->size(), std::size_t{0}, "the list is still empty");
}

void CancelAfterImport(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"cancel-after")));
    STEP(app.Import(InputPath(ctx, L"utf8_chinese.txt"), ImportCaptionFor(2)));
    HWND dialog = app.OpenDialog();
    REQUIRE(dialog);
    STEP(app.CancelDialog(dialog));
    Sleep(500);
    CHECK_EQ(app.ImportCaption(), ImportCaptionFor(2), "a cancel keeps the caption");
    STEP(app.GenerateExpecting(kSuccess));
    OutputMatchesFile(ctx, app, ExpectedPath(ctx, L"utf8_chinese"));
}

void MissingFileGivesEmptyList(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"missing")));
    STEP(app.Import(InputPath(ctx, L"crlf_final.txt"), ImportCaptionFor(3)));
    // The dialog takes a typed name without checking that the file exists.
    STEP(app.Import(JoinPath(app.Folder(), L"no such file.txt"), ImportCaptionFor(0)));
    STEP(app.GenerateExpecting(kSuccess));
    const std::optional<std::string> output = ReadBytes(app.OutputPath());
    REQUIRE(output);
    CHECK_EQ(output->size(), std::size_t{0}, "the earlier list is gone");
}

void FileOpenForWritingGivesEmptyList(Context& ctx) {
    App app(ctx);
    const std::wstring folder = NewFolder(ctx, L"held-input");
    const std::wstring input = JoinPath(folder, L"being written.txt");
    STEP(CopyInput(ctx, L"crlf_final.txt", input));
    STEP(app.Start(folder));
    STEP(app.Import(InputPath(ctx, L"utf8_chinese.txt"), ImportCaptionFor(2)));
    // Another program is still writing the file; it lets others read and write, but the import shares reading only.
    HANDLE writer = CreateFileW(input.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(writer != INVALID_HANDLE_VALUE, "cannot open the input for writing");
    const bool imported = app.Import(input, ImportCaptionFor(0));
    CloseHandle(writer);
    STEP(imported);
    STEP(app.GenerateExpecting(kSuccess));
    const std::optional<std::string> output = ReadBytes(app.OutputPath());
    REQUIRE(output);
    CHECK_EQ(output->size(), std::size_t{0}, "the earlier list is gone");
    // Once the writer is done, the same file imports.
    STEP(app.Import(input, ImportCaptionFor(3)));
}

// The dialog may move the process's current directory; the program puts it back, so the next dialog opens in the
// program's folder again. Bare names typed into the dialog show which folder it is in.
void CurrentDirectoryRestored(Context& ctx) {
    App app(ctx);
    const std::wstring home = NewFolder(ctx, L"home");
    const std::wstring away = NewFolder(ctx, L"away");
    STEP(CopyInput(ctx, L"crlf_final.txt", JoinPath(home, L"same name.txt")));
    STEP(CopyInput(ctx, L"utf8_chinese.txt", JoinPath(away, L"same name.txt")));
    STEP(CopyInput(ctx, L"empty_lines.txt", JoinPath(away, L"only away.txt")));
    STEP(app.Start(home));

    // A file chosen in another folder.
    HWND dialog = app.OpenDialog();
    REQUIRE(dialog);
    STEP(app.ChooseInDialog(dialog, away, false));
    const bool browsed =
        WaitUntil([&] { return Lists(app.DialogListing(dialog), L"only away.txt"); }, 10000, app.Process());
    REQUIRE(browsed, "the dialog did not go into the folder ", away, ": ", Listing(app.DialogListing(dialog)));
    STEP(app.ChooseInDialog(dialog, L"only away.txt"));
    REQUIRE(WaitUntil([&] { return app.ImportCaption() == ImportCaptionFor(6); }, 15000, app.Process()),
            "the caption reads \"", app.ImportCaption(), "\"");

    // After that success the dialog opens at home again.
    dialog = app.OpenDialog();
    REQUIRE(dialog);
    std::vector<std::wstring> items = app.DialogListing(dialog);
    CHECK(Lists(items, L"same name.txt") && !Lists(items, L"only away.txt"),
          "after a success the dialog should open in the program's folder: ", Listing(items));
    STEP(app.ChooseInDialog(dialog, L"same name.txt"));
    CHECK(WaitUntil([&] { return app.ImportCaption() == ImportCaptionFor(3); }, 15000, app.Process()),
          "the bare name should name the file in the program's folder; the caption reads \"", app.ImportCaption(),
          "\"");

    // Browsing away and cancelling.
    dialog = app.OpenDialog();
    REQUIRE(dialog);
    STEP(app.ChooseInDialog(dialog, away, false));
    CHECK(WaitUntil([&] { return Lists(app.DialogListing(dialog), L"only away.txt"); }, 10000, app.Process()),
          "the dialog did not go into ", away);
    STEP(app.CancelDialog(dialog));

    // After the cancel the dialog opens at home again: there "only away.txt" does not exist.
    dialog = app.OpenDialog();
    REQUIRE(dialog);
    items = app.DialogListing(dialog);
    CHECK(Lists(items, L"same name.txt") && !Lists(items, L"only away.txt"),
          "after a cancel the dialog should open in the program's folder: ", Listing(items));
    STEP(app.ChooseInDialog(dialog, L"only away.txt"));
    CHECK(WaitUntil([&] { return app.ImportCaption() == ImportCaptionFor(0); }, 15000, app.Process()),
          "a bare name of a file that exists only elsewhere imports nothing; the caption reads \"", app.ImportCaption(),
          "\"");
    STEP(app.GenerateExpecting(kSuccess));
    app.FolderHoldsOnly({kExe, kOutputName, L"same name.txt"}, "after generating");
}

void InputFolderOutsideCodePage(Context& ctx) {
    App app(ctx);
    // Hangul has no place in code page 936: only the W interfaces can open this file.
    const std::wstring folder = NewFolder(ctx, L"입력 목록");
    const std::wstring input = JoinPath(folder, L"번호.txt");
    STEP(CopyInput(ctx, L"utf8_chinese.txt", input));
    STEP(app.Start(NewFolder(ctx, L"hangul-input")));
    STEP(app.Import(input, ImportCaptionFor(2)));
    STEP(app.GenerateExpecting(kSuccess));
    OutputMatchesFile(ctx, app, ExpectedPath(ctx, L"utf8_chinese"));
}

}  // namespace

std::vector<TestCase> ImportCases() {
    return {
        {"dialog_title_filter_and_folder", DialogTitleFilterAndFolder},
        {"conversion_table", ConversionTable},
        {"cancel_first_import", CancelFirstImport},
        {"cancel_after_import", CancelAfterImport},
        {"missing_file_gives_empty_list", MissingFileGivesEmptyList},
        {"file_open_for_writing_gives_empty_list", FileOpenForWritingGivesEmptyList},
        {"current_directory_restored", CurrentDirectoryRestored},
        {"input_folder_outside_code_page", InputFolderOutsideCodePage},
    };
}

}  // namespace e2e
