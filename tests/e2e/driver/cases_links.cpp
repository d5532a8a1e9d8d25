// The two web links: the hyperlink "查看" and the About text. The run registers this driver as the prefix's
// https handler (--record-url), so every address the shell opens lands in the log file.
#include <sstream>

#include "app_session.h"
#include "cases.h"
#include "fixtures.h"
#include "win.h"

namespace e2e {

namespace {

constexpr COLORREF kNormal = RGB(0, 0, 255);
constexpr COLORREF kHover = RGB(0, 120, 215);
constexpr COLORREF kVisited = RGB(128, 0, 0);

std::vector<std::string> RecordedAddresses(const Context& ctx) {
    std::vector<std::string> lines;
    const std::optional<std::string> log = ReadBytes(ctx.env.urlLog);
    if (!log)
        return lines;
    std::istringstream in(*log);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

bool ClearLog(Context& ctx) {
    DeleteFileW(ctx.env.urlLog.c_str());
    if (FileExists(ctx.env.urlLog)) {
        ctx.Fail(__FILE__, __LINE__, Message("cannot clear the address log ", ctx.env.urlLog));
        return false;
    }
    return true;
}

// Waits until the stand-in browser has recorded `count` addresses.
bool WaitAddresses(const Context& ctx, std::size_t count, DWORD timeoutMs) {
    return WaitUntil([&] { return RecordedAddresses(ctx).size() >= count; }, timeoutMs);
}

LPARAM CentreOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return MAKELPARAM(client.right / 2, client.bottom / 2);
}

void LinkPressOpensAddress(Context& ctx) {
    STEP(ClearLog(ctx));
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"link-press")));
    HWND link = app.Control(id::kLink);
    REQUIRE(link);
    CHECK_EQ(ClassOf(link), std::wstring(kHyperlinkClass));
    // The press alone opens the address, before any release.
    PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(link));
    CHECK(WaitAddresses(ctx, 1, 15000), "the press on 查看 delivered no address to the browser");
    PostMessageW(link, WM_LBUTTONUP, 0, CentreOf(link));
    Sleep(500);
    const std::vector<std::string> addresses = RecordedAddresses(ctx);
    REQUIRE(addresses.size() == 1, "one press, one opening; got ", addresses.size());
    CHECK_EQ(addresses[0], ToUtf8(kAddress));
    STEP(app.Close());
}

void AboutTextReleaseOpensAddress(Context& ctx) {
    STEP(ClearLog(ctx));
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"about-release")));
    STEP(app.ShowPage(id::kPageAbout));
    HWND about = app.Control(id::kAboutText);
    REQUIRE(about);
    PostMessageW(about, WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(about));
    Sleep(1000);
    CHECK(RecordedAddresses(ctx).empty(), "the About text opens nothing before the button is released");
    PostMessageW(about, WM_LBUTTONUP, 0, CentreOf(about));
    CHECK(WaitAddresses(ctx, 1, 15000), "the release on the About text delivered no address to the browser");
    Sleep(300);
    const std::vector<std::string> addresses = RecordedAddresses(ctx);
    REQUIRE(addresses.size() == 1, "one release, one opening; got ", addresses.size());
    CHECK_EQ(addresses[0], ToUtf8(kAddress));
}

// Waits until the link shows `colour` and none of the other two link colours.
bool WaitLinkColour(Context& ctx, HWND link, COLORREF colour, const char* state) {
    const COLORREF all[] = {kNormal, kHover, kVisited};
    int counts[3] = {};
    const bool shown = WaitUntil(
        [&] {
            const RECT rect = RectOf(link);
            bool ok = true;
            for (int i = 0; i < 3; ++i) {
                counts[i] = CountPixels(rect, all[i]).matching;
                ok = ok && (all[i] == colour ? counts[i] > 0 : counts[i] == 0);
            }
            return ok;
        },
        5000);
    if (!shown)
        ctx.Fail(__FILE__, __LINE__,
                 Message("the link should be drawn in its ", state, " colour; pixels in blue ", counts[0], ", hover ",
                         counts[1], ", visited ", counts[2]));
    return shown;
}

void LinkColours(Context& ctx) {
    STEP(ClearLog(ctx));
    App app(ctx);
    STEP(app.Start(NewFolder(ctx, L"link-colours")));
    HWND link = app.Control(id::kLink);
    REQUIRE(link);
    const RECT window = RectOf(app.Main());
    const POINT away{window.left + 300, window.top + 150};  // over the page, far from the link
    const RECT rect = RectOf(link);
    const POINT over{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};

    REQUIRE(SetCursorPos(away.x, away.y));
    WaitLinkColour(ctx, link, kNormal, "normal");
    REQUIRE(SetCursorPos(over.x, over.y));
    WaitLinkColour(ctx, link, kHover, "hover");
    Screenshot(ctx, "6-link-hover");
    PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(link));
    PostMessageW(link, WM_LBUTTONUP, 0, CentreOf(link));
    CHECK(WaitAddresses(ctx, 1, 15000), "the press delivered no address");
    // Still under the pointer after a successful opening: the hover colour stays.
    Sleep(300);
    WaitLinkColour(ctx, link, kHover, "hover (after the opening)");
    REQUIRE(SetCursorPos(away.x, away.y));
    WaitLinkColour(ctx, link, kVisited, "visited");
    Screenshot(ctx, "7-link-visited");
}

}  // namespace

std::vector<TestCase> LinkCases() {
    return {
        {"link_press_opens_address", LinkPressOpensAddress},
        {"about_text_release_opens_address", AboutTextReleaseOpensAddress},
        {"link_colours", LinkColours},
    };
}

}  // namespace e2e
