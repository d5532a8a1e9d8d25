// The main window as the user first sees it, its pages, radio groups and keys.
#include <algorithm>

#include "app_session.h"
#include "cases.h"
#include "fixtures.h"
#include "win.h"

namespace e2e {

namespace {

// page 0: the left column on the window itself; 1 to 3: the pages of the page container.
struct ExpectedControl {
    int controlId;
    int page;
    int x, y, width, height;  // relative to the client area of its parent
    const wchar_t* text;      // nullptr: any non-empty text
};

const ExpectedControl kControls[] = {
    {id::kPageTxt, 0, 3, 8, 88, 32, L"TXT转vCard"},
    {id::kPageSettings, 0, 3, 41, 88, 32, L"设置"},
    {id::kPageAbout, 0, 3, 75, 88, 32, L"关于"},
    {id::kLabelNewVersion, 0, 8, 269, 32, 16, L"新版："},
    {id::kLink, 0, 40, 267, 51, 21, L"查看"},
    {id::kLabelVersion, 0, 8, 288, 80, 16, L"版本：V1.0"},
    {id::kPages, 0, 95, 6, 417, 300, nullptr},
    {id::kLabelTxt, 1, 24, 32, 48, 13, L"TXT文本："},
    {id::kImport, 1, 81, 27, 111, 23, L"选择文件"},
    {id::kLabelHint, 1, 83, 56, 177, 13, L"导入文本应为一行一个手机号码"},
    {id::kGenerate, 1, 208, 246, 64, 24, L"生成"},
    {id::kLabelRules, 1, 30, 253, 177, 13, L"生成规则请查看设置"},
    {id::kLabelName, 2, 9, 7, 54, 20, L"生成姓名："},
    {id::kRadioPhone, 2, 66, 12, 64, 14, L"手机号"},
    {id::kRadioCustom, 2, 130, 12, 64, 14, L"自定义"},
    {id::kEditCustom, 2, 189, 9, 48, 19, L"a"},
    {id::kLabelPlus, 2, 241, 11, 16, 16, L"+"},
    {id::kGroup, 2, 249, 1, 160, 30, L""},
    {id::kRadioSequence, 2, 6, 10, 80, 17, L"序号"},
    {id::kLabelFilters, 2, 9, 32, 54, 20, L"过滤规则："},
    {id::kCheckSpaces, 2, 67, 35, 118, 17, L"过滤手机号码空格"},
    {id::kCheckDashes, 2, 187, 35, 142, 17, L"过滤手机号码 - [杠]"},
    {id::kAboutText, 3, 58, 34, 304, 160, nullptr},
};

// The controls of `page` are visible, those of the other two pages hidden, the left column always visible.
void CheckPageShown(Context& ctx, App& app, int page, const char* when) {
    for (const ExpectedControl& expected : kControls) {
        HWND control = app.Control(expected.controlId);
        if (!control)
            continue;
        const bool shouldShow = expected.page == 0 || expected.page == page;
        CHECK(!!IsWindowVisible(control) == shouldShow, when, ": control ", expected.controlId, " \"", TextOf(control),
              "\" should be ", shouldShow ? "visible" : "hidden");
    }
}

void WindowTitleSizeAndPlace(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"window")));
    CHECK_EQ(TextOf(app.Main()), std::wstring(kTitle));
    const RECT rect = RectOf(app.Main());
    CHECK_EQ(rect.right - rect.left, 519L, "outer width");
    CHECK_EQ(rect.bottom - rect.top, 338L, "outer height");
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    CHECK_EQ(rect.left, static_cast<LONG>((screenWidth - 519) / 2), "left edge on a ", screenWidth, " wide screen");
    CHECK_EQ(rect.top, static_cast<LONG>((screenHeight - 338) / 2), "top edge on a ", screenHeight, " high screen");
    const LONG_PTR style = GetWindowLongPtrW(app.Main(), GWL_STYLE);
    CHECK(!(style & WS_THICKFRAME), "the frame must be fixed");
    CHECK(!(style & WS_MAXIMIZEBOX), "no maximise button");
    CHECK((style & WS_MINIMIZEBOX) && (style & WS_SYSMENU), "a minimise button and the system menu");
    STEP(app.Close());
}

void InitialControls(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"controls")));
    HWND container = app.Control(id::kPages);
    HWND group = app.Control(id::kGroup);
    REQUIRE(container && group);
    for (const ExpectedControl& expected : kControls) {
        HWND control = app.Control(expected.controlId);
        if (!control)
            continue;
        ctx.scope = "control " + std::to_string(expected.controlId);
        const std::wstring text = TextOf(control);
        if (expected.text)
            CHECK_EQ(text, std::wstring(expected.text));
        else if (expected.controlId == id::kAboutText)
            CHECK(!text.empty(), "the About text");
        CHECK(IsWindowEnabled(control), "every control is enabled at start");
        HWND parent = expected.page == 0 ? app.Main() : expected.controlId == id::kRadioSequence ? group : container;
        CHECK(IsChild(parent, control), "it lies inside its parent");
        RECT rect = RectOf(control);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        CHECK(rect.left == expected.x && rect.top == expected.y && rect.right - rect.left == expected.width &&
                  rect.bottom - rect.top == expected.height,
              "placed at ", rect.left, ",", rect.top, " size ", rect.right - rect.left, "x", rect.bottom - rect.top,
              ", expected ", expected.x, ",", expected.y, " size ", expected.width, "x", expected.height);
    }
    ctx.scope.clear();
    CheckPageShown(ctx, app, 1, "at start");
    CHECK(app.Checked(id::kRadioPhone) == std::optional<bool>(true), "手机号 starts selected");
    CHECK(app.Checked(id::kRadioCustom) == std::optional<bool>(false), "自定义 starts clear");
    CHECK(app.Checked(id::kRadioSequence) == std::optional<bool>(true), "序号 starts selected");
    CHECK(app.Checked(id::kCheckSpaces) == std::optional<bool>(false), "过滤手机号码空格 starts clear");
    CHECK(app.Checked(id::kCheckDashes) == std::optional<bool>(false), "过滤手机号码 - [杠] starts clear");
    // The two name radios share a parent; 序号 sits alone in the group box.
    HWND phone = app.Control(id::kRadioPhone);
    HWND custom = app.Control(id::kRadioCustom);
    HWND sequence = app.Control(id::kRadioSequence);
    REQUIRE(phone && custom && sequence);
    CHECK(GetParent(phone) == GetParent(custom), "the name radios share one parent");
    CHECK(GetParent(sequence) == group, "序号 is a child of the group box");
    Screenshot(ctx, "1-page-txt2vcard");
}

void PageButtons(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"pages")));
    STEP(app.Click(id::kPageSettings));
    HWND edit = app.Control(id::kEditCustom);
    REQUIRE(edit);
    REQUIRE(WaitUntil([&] { return IsWindowVisible(edit) != FALSE; }, 10000, app.Process()), "page 设置 shows");
    CheckPageShown(ctx, app, 2, "after 设置");
    Screenshot(ctx, "2-page-settings");
    // A second click on the current page's button changes nothing.
    STEP(app.Click(id::kPageSettings));
    Sleep(300);
    CheckPageShown(ctx, app, 2, "after a second click on 设置");
    CHECK(app.Checked(id::kRadioPhone) == std::optional<bool>(true), "the settings stay");
    CHECK_EQ(TextOf(edit), std::wstring(L"a"));

    STEP(app.Click(id::kPageAbout));
    HWND about = app.Control(id::kAboutText);
    REQUIRE(about);
    REQUIRE(WaitUntil([&] { return IsWindowVisible(about) != FALSE; }, 10000, app.Process()), "page 关于 shows");
    CheckPageShown(ctx, app, 3, "after 关于");
    Screenshot(ctx, "3-page-about");

    STEP(app.Click(id::kPageTxt));
    HWND generate = app.Control(id::kGenerate);
    REQUIRE(generate);
    REQUIRE(WaitUntil([&] { return IsWindowVisible(generate) != FALSE; }, 10000, app.Process()),
            "page TXT转vCard shows");
    CheckPageShown(ctx, app, 1, "after TXT转vCard");
    STEP(app.Close());
}

void RadioGroups(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"radios")));
    STEP(app.ShowPage(id::kPageSettings));
    STEP(app.Click(id::kRadioCustom));
    STEP(app.WaitChecked(id::kRadioCustom, true));
    CHECK(app.Checked(id::kRadioPhone) == std::optional<bool>(false), "自定义 clears 手机号");
    CHECK(app.Checked(id::kRadioSequence) == std::optional<bool>(true), "序号 stays selected");
    STEP(app.Click(id::kRadioPhone));
    STEP(app.WaitChecked(id::kRadioPhone, true));
    CHECK(app.Checked(id::kRadioCustom) == std::optional<bool>(false), "手机号 clears 自定义");
    CHECK(app.Checked(id::kRadioSequence) == std::optional<bool>(true), "序号 stays selected");
    // A click on the selected 序号 keeps it selected.
    STEP(app.Click(id::kRadioSequence));
    Sleep(300);
    CHECK(app.Checked(id::kRadioSequence) == std::optional<bool>(true), "序号 cannot be cleared");
    CHECK(app.Checked(id::kRadioPhone) == std::optional<bool>(true), "序号 leaves the name group alone");
}

// Waits until the focus of the program's window thread is `target`.
bool WaitFocus(App& app, HWND target) {
    return WaitUntil([&] { return FocusOfThreadOf(app.Main()) == target; }, 5000, app.Process());
}

void ArrowKeysInRadioGroups(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"arrows")));
    STEP(app.Import(InputPath(ctx, L"eleven.txt"), ImportCaptionFor(11)));
    STEP(app.ShowPage(id::kPageSettings));
    HWND phone = app.Control(id::kRadioPhone);
    HWND custom = app.Control(id::kRadioCustom);
    HWND sequence = app.Control(id::kRadioSequence);
    REQUIRE(phone && custom && sequence);
    STEP(app.Click(id::kRadioPhone));
    REQUIRE(WaitFocus(app, phone), "a click on 手机号 gives it the focus");

    PostKey(phone, VK_RIGHT);
    CHECK(WaitFocus(app, custom), "the right arrow moves the focus to 自定义");
    CHECK(app.WaitChecked(id::kRadioCustom, true), "the right arrow selects 自定义");
    CHECK(app.Checked(id::kRadioPhone) == std::optional<bool>(false), "and clears 手机号");
    CHECK(app.Checked(id::kRadioSequence) == std::optional<bool>(true), "序号 stays selected");

    PostKey(custom, VK_LEFT);
    CHECK(WaitFocus(app, phone), "the left arrow moves back to 手机号");
    CHECK(app.WaitChecked(id::kRadioPhone, true), "the left arrow selects 手机号");
    CHECK(app.Checked(id::kRadioCustom) == std::optional<bool>(false));

    PostKey(phone, VK_LEFT);
    CHECK(WaitFocus(app, custom), "the left arrow wraps round to 自定义");
    CHECK(app.WaitChecked(id::kRadioCustom, true));
    // Straight after the keys, with no click in between: the generate command sees the choice made with them.
    STEP(app.GenerateExpecting(kSuccess));
    OutputMatchesFile(ctx, app, ExpectedPath(ctx, L"custom_initial_a"));
    STEP(app.ShowPage(id::kPageSettings));

    // 序号 is alone in its group: an arrow key leaves it selected and focused.
    STEP(app.Click(id::kRadioSequence));
    REQUIRE(WaitFocus(app, sequence), "a click on 序号 gives it the focus");
    PostKey(sequence, VK_DOWN);
    Sleep(300);
    CHECK(FocusOfThreadOf(app.Main()) == sequence, "the focus stays on 序号");
    CHECK(app.Checked(id::kRadioSequence) == std::optional<bool>(true), "序号 stays selected");
    CHECK(app.Checked(id::kRadioCustom) == std::optional<bool>(true), "the name group is untouched");

    // The choice made with the keys is the one the generate command uses: the cards are named a1, a2, ...
    STEP(app.GenerateExpecting(kSuccess));
    OutputMatchesFile(ctx, app, ExpectedPath(ctx, L"custom_initial_a"));
}

// Presses Tab on the focused control until the focus comes back to `start`; gives the controls visited.
std::vector<HWND> TabCycle(Context& ctx, App& app, HWND start) {
    std::vector<HWND> visited{start};
    HWND focus = start;
    for (int step = 0; step < 30; ++step) {
        PostKey(focus, VK_TAB);
        HWND next = nullptr;
        if (!WaitUntil(
                [&] {
                    next = FocusOfThreadOf(app.Main());
                    return next && next != focus;
                },
                3000, app.Process())) {
            ctx.Fail(__FILE__, __LINE__, Message("Tab did not move the focus away from \"", TextOf(focus), "\""));
            return visited;
        }
        if (next == start)
            return visited;
        visited.push_back(next);
        focus = next;
    }
    ctx.Fail(__FILE__, __LINE__, "Tab did not come back to the first control within 30 presses");
    return visited;
}

void CheckCycle(Context& ctx, App& app, const std::vector<HWND>& cycle, int page, const std::vector<int>& mustVisit) {
    for (HWND control : cycle) {
        const int controlId = GetDlgCtrlID(control);
        CHECK(IsWindowVisible(control) && IsWindowEnabled(control), "Tab reached the hidden or disabled control ",
              controlId);
        for (const ExpectedControl& expected : kControls) {
            if (expected.controlId == controlId)
                CHECK(expected.page == 0 || expected.page == page, "Tab reached control ", controlId,
                      " of hidden page ", expected.page, " while page ", page, " is shown");
        }
        CHECK(
            controlId != id::kLink && controlId != id::kPages && controlId != id::kAboutText && controlId != id::kGroup,
            "Tab reached control ", controlId, ", which takes no focus");
    }
    for (int wanted : mustVisit) {
        HWND control = app.Control(wanted);
        CHECK(std::find(cycle.begin(), cycle.end(), control) != cycle.end(), "Tab never reached control ", wanted,
              " on page ", page);
    }
}

void TabSkipsHiddenPages(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"tab")));
    HWND pageTxt = app.Control(id::kPageTxt);
    REQUIRE(pageTxt);
    STEP(app.Click(id::kPageTxt));
    REQUIRE(WaitFocus(app, pageTxt), "a click on TXT转vCard gives it the focus");
    const std::vector<HWND> firstPage = TabCycle(ctx, app, pageTxt);
    CheckCycle(ctx, app, firstPage, 1, {id::kPageTxt, id::kPageSettings, id::kPageAbout, id::kImport, id::kGenerate});

    HWND pageSettings = app.Control(id::kPageSettings);
    REQUIRE(pageSettings);
    STEP(app.Click(id::kPageSettings));
    REQUIRE(WaitFocus(app, pageSettings), "a click on 设置 gives it the focus");
    const std::vector<HWND> secondPage = TabCycle(ctx, app, pageSettings);
    CheckCycle(ctx, app, secondPage, 2,
               {id::kPageTxt, id::kPageSettings, id::kPageAbout, id::kEditCustom, id::kCheckSpaces, id::kCheckDashes});

    // Shift+Tab walks the same ring backwards. A posted key cannot carry Shift, so the keys go through SendInput,
    // which needs the program's window in front.
    if (secondPage.size() >= 2) {
        SetForegroundWindow(app.Main());
        HWND focus = FocusOfThreadOf(app.Main());
        const auto at = std::find(secondPage.begin(), secondPage.end(), focus);
        REQUIRE(at != secondPage.end(), "the focus left the Tab ring");
        HWND previous = at == secondPage.begin() ? secondPage.back() : *(at - 1);
        INPUT keys[4] = {};
        const WORD sequence[4][2] = {
            {VK_SHIFT, 0}, {VK_TAB, 0}, {VK_TAB, KEYEVENTF_KEYUP}, {VK_SHIFT, KEYEVENTF_KEYUP}};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = sequence[i][0];
            keys[i].ki.dwFlags = sequence[i][1];
        }
        CHECK(SendInput(4, keys, sizeof(INPUT)) == 4, "SendInput");
        CHECK(WaitFocus(app, previous), "Shift+Tab should move from control ", GetDlgCtrlID(focus), " back to control ",
              GetDlgCtrlID(previous), "; the focus is on ", GetDlgCtrlID(FocusOfThreadOf(app.Main())));
    }
}

void EscapeInEditBoxCloses(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"escape")));
    STEP(app.ShowPage(id::kPageSettings));
    HWND edit = app.Control(id::kEditCustom);
    REQUIRE(edit);
    // A click into the edit box, as a user puts the caret there.
    PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    REQUIRE(WaitFocus(app, edit), "a click into the edit box gives it the focus");
    PostKey(edit, VK_ESCAPE);
    DWORD exitCode = 1;
    REQUIRE(app.WaitForExit(10000, &exitCode), "Esc in the edit box must close the program");
    CHECK_EQ(exitCode, 0UL, "exit code after Esc");
}

void MinimiseAndRestoreKeepState(Context& ctx) {
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"minimise")));
    STEP(app.Import(InputPath(ctx, L"crlf_final.txt"), ImportCaptionFor(3)));
    Settings settings;
    settings.stripSpaces = true;
    settings.customName = true;
    settings.typedText = L"客户";
    STEP(app.Apply(settings));
    STEP(app.ShowPage(id::kPageSettings));
    PostMessageW(app.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    REQUIRE(WaitUntil([&] { return IsIconic(app.Main()) != FALSE; }, 10000, app.Process()), "the window minimises");
    PostMessageW(app.Main(), WM_SYSCOMMAND, SC_RESTORE, 0);
    REQUIRE(WaitUntil([&] { return !IsIconic(app.Main()) && IsWindowVisible(app.Main()); }, 10000, app.Process()),
            "the window comes back");
    const RECT rect = RectOf(app.Main());
    CHECK_EQ(rect.right - rect.left, 519L, "outer width after restoring");
    CheckPageShown(ctx, app, 2, "after restoring");
    CHECK(app.Checked(id::kCheckSpaces) == std::optional<bool>(true), "过滤手机号码空格 stays ticked");
    CHECK(app.Checked(id::kCheckDashes) == std::optional<bool>(false));
    CHECK(app.Checked(id::kRadioCustom) == std::optional<bool>(true), "自定义 stays selected");
    HWND edit = app.Control(id::kEditCustom);
    REQUIRE(edit);
    CHECK_EQ(TextOf(edit), std::wstring(L"客户"));
    CHECK_EQ(app.ImportCaption(), ImportCaptionFor(3));
}

}  // namespace

std::vector<TestCase> WindowCases() {
    return {
        {"window_title_size_place", WindowTitleSizeAndPlace},
        {"initial_controls", InitialControls},
        {"page_buttons", PageButtons},
        {"radio_groups", RadioGroups},
        {"arrow_keys_in_radio_groups", ArrowKeysInRadioGroups},
        {"tab_skips_hidden_pages", TabSkipsHiddenPages},
        {"escape_in_edit_box_closes", EscapeInEditBoxCloses},
        {"minimise_and_restore_keep_state", MinimiseAndRestoreKeepState},
    };
}

}  // namespace e2e
