#include "app_session.h"

#include <algorithm>

#include "win.h"

namespace e2e {

namespace {

constexpr DWORD kDeadlineMs = 15000;

std::string Joined(const std::vector<std::wstring>& names) {
    std::string out;
    for (const std::wstring& name : names)
        out += (out.empty() ? "" : ", ") + ToUtf8(name);
    return "[" + out + "]";
}

}  // namespace

std::wstring NewFolder(Context& ctx, const std::wstring& name) {
    std::wstring folder = JoinPath(ctx.env.workDir, name);
    for (int n = 2; IsFolder(folder) || FileExists(folder); ++n)
        folder = JoinPath(ctx.env.workDir, name + L"-" + std::to_wstring(n));
    if (!MakeFolder(folder))
        ctx.Fail(__FILE__, __LINE__, Message("cannot create the folder ", folder));
    return folder;
}

void Screenshot(Context& ctx, const std::string& name) {
    if (ctx.env.screensDir.empty())
        return;
    const std::wstring base = JoinPath(ctx.env.screensDir, FromUtf8(name));
    // Give the program a moment to paint before the picture is taken.
    Sleep(300);
    if (!WriteBytes(base + L".req", name)) {
        Print("    (screenshot " + name + " not requested: cannot write the request)\n");
        return;
    }
    if (!WaitUntil([&] { return FileExists(base + L".done"); }, kDeadlineMs))
        Print("    (screenshot " + name + " not taken in time)\n");
}

App::~App() {
    if (process_) {
        if (Alive()) {
            if (main_ && IsWindow(main_))
                PostMessageW(main_, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0)
                TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
    }
}

bool App::Alive() const {
    return ProcessAlive(process_);
}

std::wstring App::OutputPath() const {
    return JoinPath(folder_, kOutputName);
}

bool App::Start(const std::wstring& folder) {
    Context& ctx = ctx_;
    folder_ = folder;
    const std::wstring exe = JoinPath(folder, L"TavixvCard.exe");
    if (!MakeFolder(folder)) {
        ctx.Fail(__FILE__, __LINE__, Message("cannot create ", folder));
        return false;
    }
    if (!CopyFileW(ctx.env.appExe.c_str(), exe.c_str(), FALSE)) {
        ctx.Fail(__FILE__, __LINE__, Message("cannot copy ", ctx.env.appExe, " to ", exe));
        return false;
    }
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // The program must make its own folder the current directory, so it is started from another one.
    const std::wstring elsewhere = ctx.env.workDir;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, elsewhere.c_str(),
                        &startup, &info)) {
        ctx.Fail(__FILE__, __LINE__, Message("CreateProcessW failed for ", exe, ", error ", GetLastError()));
        return false;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    const bool found = WaitUntil(
        [&] {
            for (HWND window : TopWindowsOf(processId_)) {
                if (ClassOf(window) == kMainClass && IsWindowVisible(window)) {
                    main_ = window;
                    return true;
                }
            }
            return false;
        },
        kDeadlineMs, process_);
    if (!found) {
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        ctx.Fail(__FILE__, __LINE__,
                 Message("the main window (class ", kMainClass, ") did not appear; process ",
                         Alive() ? "still running" : "ended with code " + std::to_string(static_cast<long>(code))));
        return false;
    }
    return true;
}

HWND App::Control(int controlId) {
    HWND control = main_ ? FindDescendant(main_, controlId) : nullptr;
    if (!control)
        ctx_.Fail(__FILE__, __LINE__, Message("no control with ID ", controlId, " in the main window"));
    return control;
}

bool App::ClickWindow(HWND button, const std::string& what) {
    Context& ctx = ctx_;
    if (!button)
        return false;
    HWND top = GetAncestor(button, GA_ROOT);
    // A posted click reaches even a disabled or hidden button: refuse what a user could not click.
    if (!IsWindowVisible(button)) {
        ctx.Fail(__FILE__, __LINE__, Message("cannot click ", what, ": it is not visible"));
        return false;
    }
    if (!IsWindowEnabled(button) || !IsWindowEnabled(top)) {
        ctx.Fail(__FILE__, __LINE__, Message("cannot click ", what, ": it or its window is disabled"));
        return false;
    }
    if (!PostMessageW(button, BM_CLICK, 0, 0)) {
        ctx.Fail(__FILE__, __LINE__, Message("PostMessageW(BM_CLICK) to ", what, " failed"));
        return false;
    }
    return true;
}

bool App::Click(int controlId) {
    HWND control = Control(controlId);
    return control &&
           ClickWindow(control, "control " + std::to_string(controlId) + " \"" + ToUtf8(TextOf(control)) + "\"");
}

bool App::ShowPage(int pageButtonId) {
    Context& ctx = ctx_;
    int probe = 0;
    switch (pageButtonId) {
        case id::kPageTxt:
            probe = id::kGenerate;
            break;
        case id::kPageSettings:
            probe = id::kEditCustom;
            break;
        default:
            probe = id::kAboutText;
            break;
    }
    HWND shown = Control(probe);
    if (!shown)
        return false;
    if (IsWindowVisible(shown))
        return true;
    if (!Click(pageButtonId))
        return false;
    if (!WaitUntil([&] { return IsWindowVisible(shown) != FALSE; }, kDeadlineMs, process_)) {
        ctx.Fail(__FILE__, __LINE__, Message("the page of button ", pageButtonId, " did not show"));
        return false;
    }
    return true;
}

std::optional<bool> App::Checked(int controlId) {
    HWND control = Control(controlId);
    if (!control)
        return std::nullopt;
    const std::optional<LRESULT> state = Ask(control, BM_GETCHECK);
    if (!state)
        return std::nullopt;
    return *state == BST_CHECKED;
}

bool App::WaitChecked(int controlId, bool checked) {
    Context& ctx = ctx_;
    if (WaitUntil([&] { return Checked(controlId) == std::optional<bool>(checked); }, kDeadlineMs, process_))
        return true;
    ctx.Fail(__FILE__, __LINE__, Message("control ", controlId, " did not become ", checked ? "checked" : "unchecked"));
    return false;
}

std::vector<HWND> App::Boxes() const {
    std::vector<HWND> boxes;
    for (HWND window : TopWindowsOf(processId_)) {
        if (IsWindowVisible(window) && ClassOf(window) == L"#32770" && TextOf(window) == kBoxTitle)
            boxes.push_back(window);
    }
    return boxes;
}

std::wstring App::BoxText(HWND box) const {
    HWND text = FindDescendant(box, 0xFFFF);
    return text ? TextOf(text) : std::wstring(L"(no text control 0xFFFF)");
}

bool App::DismissBox(HWND box) {
    Context& ctx = ctx_;
    HWND ok = FindDescendant(box, IDOK, L"Button");
    if (!ok) {
        ctx.Fail(__FILE__, __LINE__, "the outcome box has no OK button (ID 1)");
        return false;
    }
    if (!ClickWindow(ok, "the OK button of the outcome box"))
        return false;
    if (!WaitUntil([&] { return !IsWindow(box); }, kDeadlineMs, process_)) {
        ctx.Fail(__FILE__, __LINE__, "the outcome box did not close after OK");
        return false;
    }
    return true;
}

bool App::Generate(std::wstring& outcome) {
    Context& ctx = ctx_;
    if (!ShowPage(id::kPageTxt))
        return false;
    const std::vector<HWND> before = Boxes();
    if (!before.empty()) {
        ctx.Fail(__FILE__, __LINE__, "an outcome box is already up before the click on 生成");
        return false;
    }
    if (!Click(id::kGenerate))
        return false;
    std::vector<HWND> boxes;
    if (!WaitUntil([&] { return !(boxes = Boxes()).empty(); }, kDeadlineMs, process_)) {
        ctx.Fail(__FILE__, __LINE__,
                 Message("no outcome box \"", kBoxTitle, "\" after the click on 生成",
                         Alive() ? "" : " (the program ended)"));
        return false;
    }
    outcome = BoxText(boxes.front());
    // The box has no owner, so the main window stays usable while it is up.
    if (!IsWindowEnabled(main_))
        ctx.Fail(__FILE__, __LINE__, "the main window is disabled while the outcome box is up");
    return DismissBox(boxes.front());
}

bool App::GenerateExpecting(const std::wstring& outcome) {
    Context& ctx = ctx_;
    std::wstring actual;
    if (!Generate(actual))
        return false;
    if (actual != outcome) {
        ctx.Fail(__FILE__, __LINE__, Message("the outcome box says \"", actual, "\", expected \"", outcome, "\""));
        return false;
    }
    return true;
}

HWND App::OpenDialog() {
    Context& ctx = ctx_;
    if (!ShowPage(id::kPageTxt) || !Click(id::kImport))
        return nullptr;
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindowsOf(processId_)) {
                if (IsWindowVisible(window) && ClassOf(window) == L"#32770" && TextOf(window) == kDialogTitle) {
                    dialog = window;
                    return true;
                }
            }
            return false;
        },
        kDeadlineMs, process_);
    if (!dialog)
        ctx.Fail(__FILE__, __LINE__, Message("no open-file dialog titled \"", kDialogTitle, "\" appeared"));
    return dialog;
}

bool App::ChooseInDialog(HWND dialog, const std::wstring& path, bool expectClose) {
    Context& ctx = ctx_;
    // Several nested controls carry the file-name ID; the edit box is the one a user types into.
    HWND name = FindDescendant(dialog, kDialogFileName, L"Edit");
    if (!name)
        name = FindDescendant(dialog, kDialogFileName);
    if (!name) {
        ctx.Fail(__FILE__, __LINE__, "the dialog has no file-name box (ID 0x47C)");
        return false;
    }
    if (!SetTextOf(name, path) || TextOf(name) != path) {
        ctx.Fail(__FILE__, __LINE__, Message("cannot type \"", path, "\" into the dialog's file-name box"));
        return false;
    }
    if (!PostMessageW(dialog, WM_COMMAND, IDOK, 0)) {
        ctx.Fail(__FILE__, __LINE__, "cannot press Open in the dialog");
        return false;
    }
    if (!expectClose)
        return true;
    if (!WaitUntil([&] { return !IsWindow(dialog); }, kDeadlineMs, process_)) {
        ctx.Fail(__FILE__, __LINE__, Message("the dialog stayed open after Open with \"", path, "\""));
        return false;
    }
    return true;
}

bool App::CancelDialog(HWND dialog) {
    Context& ctx = ctx_;
    if (!PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0) ||
        !WaitUntil([&] { return !IsWindow(dialog); }, kDeadlineMs, process_)) {
        ctx.Fail(__FILE__, __LINE__, "the dialog did not close on Cancel");
        return false;
    }
    return true;
}

std::vector<std::wstring> App::DialogListing(HWND dialog) {
    std::vector<std::wstring> items;
    WaitUntil(
        [&] {
            HWND list = nullptr;
            for (HWND child : DescendantsOf(dialog)) {
                if (ClassOf(child) == L"SysListView32" && IsWindowVisible(child))
                    list = child;
            }
            items = list ? ListViewItems(process_, list) : std::vector<std::wstring>();
            return !items.empty();
        },
        5000, process_);
    return items;
}

std::wstring App::ImportCaption() {
    HWND button = Control(id::kImport);
    return button ? TextOf(button) : std::wstring();
}

bool App::Import(const std::wstring& path, const std::wstring& expectedCaption) {
    Context& ctx = ctx_;
    const std::wstring before = ImportCaption();
    HWND dialog = OpenDialog();
    if (!dialog || !ChooseInDialog(dialog, path))
        return false;
    std::wstring caption;
    if (!WaitUntil([&] { return (caption = ImportCaption()) == expectedCaption; }, kDeadlineMs, process_)) {
        ctx.Fail(__FILE__, __LINE__,
                 Message("after importing ", path, " the import button reads \"", caption, "\", expected \"",
                         expectedCaption, "\""));
        return false;
    }
    // The caption cannot tell an unchanged count from a finished import: give the task time to finish.
    if (before == expectedCaption)
        Sleep(500);
    return true;
}

bool App::Apply(const Settings& settings) {
    Context& ctx = ctx_;
    if (!ShowPage(id::kPageSettings))
        return false;
    const struct {
        int controlId;
        bool wanted;
    } boxes[] = {{id::kCheckDashes, settings.stripDashes}, {id::kCheckSpaces, settings.stripSpaces}};
    for (const auto& box : boxes) {
        const std::optional<bool> now = Checked(box.controlId);
        if (!now)
            return false;
        if (*now != box.wanted && (!Click(box.controlId) || !WaitChecked(box.controlId, box.wanted)))
            return false;
    }
    const int radio = settings.customName ? id::kRadioCustom : id::kRadioPhone;
    if (!Click(radio) || !WaitChecked(radio, true))
        return false;
    if (settings.typedText) {
        HWND edit = Control(id::kEditCustom);
        if (!edit || !SetTextOf(edit, *settings.typedText) || TextOf(edit) != *settings.typedText) {
            ctx.Fail(__FILE__, __LINE__, Message("cannot type \"", *settings.typedText, "\" into the edit box"));
            return false;
        }
    }
    return ShowPage(id::kPageTxt);
}

bool App::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    if (exitCode)
        *exitCode = code;
    return true;
}

bool App::Close() {
    Context& ctx = ctx_;
    DWORD exitCode = 1;
    if (!PostMessageW(main_, WM_CLOSE, 0, 0) || !WaitForExit(kDeadlineMs, &exitCode)) {
        ctx.Fail(__FILE__, __LINE__, "the program did not end after its window was closed");
        return false;
    }
    if (exitCode != 0) {
        ctx.Fail(__FILE__, __LINE__,
                 Message("the program ended with exit code ", exitCode, " after its window was closed"));
        return false;
    }
    return true;
}

bool App::FolderHoldsOnly(std::vector<std::wstring> names, const std::string& when) {
    Context& ctx = ctx_;
    std::sort(names.begin(), names.end());
    const std::vector<std::wstring> actual = ListFolder(folder_);
    if (actual != names) {
        ctx.Fail(__FILE__, __LINE__,
                 Message(when, ": the program folder holds ", Joined(actual), ", expected ", Joined(names)));
        return false;
    }
    return true;
}

}  // namespace e2e
