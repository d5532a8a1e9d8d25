#include "main_window.h"

#include <commctrl.h>

#include <string>

#include "app.h"
#include "controls.h"
#include "frame.h"
#include "page_container.h"
#include "resource.h"
#include "web_links.h"
#include "win_text.h"
#include "window_ids.h"

namespace tavix::app {

namespace {

constexpr wchar_t kTitle[] = L"TavixvCard(vcf)手机通讯录转换生成器免费版 V1.0";
constexpr int kWindowWidth = 519;
constexpr int kWindowHeight = 338;
// A fixed frame: no sizing border and no maximise button.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

constexpr int kConvertPage = 1;
constexpr int kSettingsPage = 2;
constexpr int kAboutPage = 3;

// ---- Layout: every control with its parent, place, kind and text. -------------------------------------------
// clang-format off

// On the window itself: the left column and the page container.
const ControlLayout kLeftColumn[] = {
    {ids::k按钮_txt转vcard, kButtonClass, kPushButtonStyle, 0, {3, 8, 88, 32}, L"TXT转vCard"},
    {ids::k按钮_设置, kButtonClass, kPushButtonStyle, 0, {3, 41, 88, 32}, L"设置"},
    {ids::k按钮_关于, kButtonClass, kPushButtonStyle, 0, {3, 75, 88, 32}, L"关于"},
    {ids::k透明标签9, kStaticClass, kLabelStyle, 0, {8, 269, 32, 16}, L"新版："},
    {ids::k超级链接框1, ids::kHyperlinkClass, 0, 0, {40, 267, 51, 21}, L"查看"},
    {ids::k透明标签8, kStaticClass, kLabelStyle, 0, {8, 288, 80, 16}, L"版本：V1.0"},
};
const ControlLayout kPageContainer =
    {ids::k高级选择夹1, ids::kPageContainerClass, 0, WS_EX_CONTROLPARENT, {95, 6, 417, 300}, L""};

// Page 1, "TXT转vCard".
const ControlLayout kConvertControls[] = {
    {ids::k透明标签1, kStaticClass, kLabelStyle, 0, {24, 32, 48, 13}, L"TXT文本："},
    {ids::k按钮_导入文本, kButtonClass, kPushButtonStyle, 0, {81, 27, 111, 23}, L"选择文件"},
    {ids::k透明标签4, kStaticClass, kLabelStyle, 0, {83, 56, 177, 13}, L"导入文本应为一行一个手机号码"},
    {ids::k按钮_转换输出, kButtonClass, kPushButtonStyle, 0, {208, 246, 64, 24}, L"生成"},
    {ids::k透明标签6, kStaticClass, kLabelStyle, 0, {30, 253, 177, 13}, L"生成规则请查看设置"},
};

// Page 2, "设置". WS_GROUP opens the name group at "手机号" and closes it before the edit box, so the auto radio
// buttons and the arrow keys treat the two name buttons as one group.
const ControlLayout kSettingsControls[] = {
    {ids::k透明标签2, kStaticClass, kLabelStyle, 0, {9, 7, 54, 20}, L"生成姓名："},
    {ids::k单选框_姓名_手机号, kButtonClass, kRadioButtonStyle | WS_GROUP, 0, {66, 12, 64, 14}, L"手机号"},
    {ids::k单选框_姓名_自定义, kButtonClass, kRadioButtonStyle, 0, {130, 12, 64, 14}, L"自定义"},
    {ids::k编辑框_姓名_自定义, kEditClass, kEditBoxStyle | WS_GROUP, 0, {189, 9, 48, 19}, L"a"},
    {ids::k透明标签3, kStaticClass, kLabelStyle, 0, {241, 11, 16, 16}, L"+"},
    {ids::k分组框2, kButtonClass, kGroupBoxStyle, WS_EX_CONTROLPARENT, {249, 1, 160, 30}, L""},
    {ids::k透明标签7, kStaticClass, kLabelStyle, 0, {9, 32, 54, 20}, L"过滤规则："},
    {ids::k选择框_过滤空格, kButtonClass, kCheckBoxStyle | WS_GROUP, 0, {67, 35, 118, 17}, L"过滤手机号码空格"},
    {ids::k选择框_过滤斜杠, kButtonClass, kCheckBoxStyle, 0, {187, 35, 142, 17}, L"过滤手机号码 - [杠]"},
};
// Alone in the group box 分组框2, so nothing can ever clear it.
const ControlLayout kSequenceRadio =
    {ids::k单选框_自定义_序号, kButtonClass, kRadioButtonStyle | WS_GROUP, 0, {6, 10, 80, 17}, L"序号"};

// Page 3, "关于": several centred lines that wrap at word boundaries; SS_NOTIFY lets it see the mouse.
const ControlLayout kAboutLabel =
    {ids::k透明标签5, kStaticClass, SS_CENTER | SS_NOPREFIX | SS_NOTIFY, 0, {58, 34, 304, 160}, L""};

// clang-format on

// One-line transparent labels, drawn by their parent so that their text is not cut at their edge.
constexpr int kParentDrawnLabels[] = {
    ids::k透明标签1, ids::k透明标签2, ids::k透明标签3, ids::k透明标签4,
    ids::k透明标签6, ids::k透明标签7, ids::k透明标签8, ids::k透明标签9,
};

// Eight short lines: the label is 160 pixels high, and a line is about 19 pixels in its font.
std::wstring AboutText() {
    return std::wstring(
               L"TavixvCard(vcf)手机通讯录转换生成器\r\n"
               L"免费版 V1.0\r\n"
               L"\r\n"
               L"把一行一个手机号码的TXT文本转换为\r\n"
               L"vCard(VCF)通讯录文件，导入手机即可使用。\r\n"
               L"\r\n"
               L"官方网站：") +
           MakerWebAddress + L"\r\n(点击此处访问)";
}

// The About label's font, as the system's font request.
HFONT CreateAboutFont() {
    LOGFONTW font = {};
    font.lfHeight = -14;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = GB2312_CHARSET;
    font.lfOutPrecision = OUT_STROKE_PRECIS;
    font.lfClipPrecision = CLIP_STROKE_PRECIS;
    font.lfQuality = DRAFT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpynW(font.lfFaceName, L"微软雅黑", LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

// ---- The window's state, kept with the window. --------------------------------------------------------------

struct MainWindowState {
    HWND container = nullptr;
    HWND groupBox = nullptr;
    HFONT aboutFont = nullptr;
    HWND lastFocus = nullptr;  // restored when the window is activated again
};

MainWindowState* StateOf(HWND window) {
    return reinterpret_cast<MainWindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HWND PageControl(const MainWindowState& state, int id) {
    return GetDlgItem(state.container, id);
}

// ---- Settings: read on the window thread into the mirror that generate runs read. --------------------------

CardOptions ReadSettings(const MainWindowState& state) {
    CardOptions options;
    options.stripDashes = IsChecked(PageControl(state, ids::k选择框_过滤斜杠));
    options.stripSpaces = IsChecked(PageControl(state, ids::k选择框_过滤空格));
    if (IsChecked(PageControl(state, ids::k单选框_姓名_手机号))) {
        options.nameMode = NameMode::PhoneNumber;
    } else if (IsChecked(GetDlgItem(state.groupBox, ids::k单选框_自定义_序号))) {
        options.nameMode = NameMode::CustomWithSequence;
        options.customName = Utf8(GetText(PageControl(state, ids::k编辑框_姓名_自定义)));
    }
    return options;
}

void StoreSettings(const MainWindowState& state) {
    TheProcess().settings.Store(ReadSettings(state));
}

bool IsSettingsControl(int id) {
    switch (id) {
        case ids::k选择框_过滤斜杠:
        case ids::k选择框_过滤空格:
        case ids::k单选框_姓名_手机号:
        case ids::k单选框_姓名_自定义:
        case ids::k单选框_自定义_序号:
        case ids::k编辑框_姓名_自定义:
            return true;
    }
    return false;
}

// ---- Creation. ------------------------------------------------------------------------------------------------

template <std::size_t N>
bool CreateControls(HWND parent, const ControlLayout (&layouts)[N], bool visible, HFONT font) {
    for (const ControlLayout& layout : layouts) {
        if (!CreateControl(parent, layout, visible, font)) {
            return false;
        }
    }
    return true;
}

template <std::size_t N>
std::vector<int> IdsOf(const ControlLayout (&layouts)[N]) {
    std::vector<int> result;
    for (const ControlLayout& layout : layouts) {
        result.push_back(layout.id);
    }
    return result;
}

LRESULT CALLBACK
AboutLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId, DWORD_PTR) {
    switch (message) {
        case WM_LBUTTONUP:
            StopOnException([] { OpenWebAddress(MakerWebAddress); });
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(label, AboutLabelProc, subclassId);
            break;
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

bool CreatePages(MainWindowState& state, HFONT font) {
    // Every page's controls start hidden; SetPages shows those of the current page.
    if (!CreateControls(state.container, kConvertControls, false, font) ||
        !CreateControls(state.container, kSettingsControls, false, font)) {
        return false;
    }
    state.groupBox = PageControl(state, ids::k分组框2);
    if (!ForwardChildNotifications(state.groupBox) || !CreateControl(state.groupBox, kSequenceRadio, true, font)) {
        return false;
    }

    state.aboutFont = CreateAboutFont();  // without it the label keeps the system's font
    const std::wstring aboutText = AboutText();
    ControlLayout about = kAboutLabel;
    about.text = aboutText.c_str();
    HWND aboutLabel = CreateControl(state.container, about, false, state.aboutFont ? state.aboutFont : font);
    if (!aboutLabel || !SetWindowSubclass(aboutLabel, AboutLabelProc, 1, 0)) {
        return false;
    }

    std::vector<Page> pages = {
        {L"首页", true, {}},
        {L"TXT转vCard", false, IdsOf(kConvertControls)},
        {L"设置", false, IdsOf(kSettingsControls)},
        {L"关于", false, {ids::k透明标签5}},
    };
    SetPages(state.container, std::move(pages), kConvertPage);
    return CurrentPage(state.container) == kConvertPage;
}

bool OnCreate(HWND window, MainWindowState& state) {
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (!CreateControls(window, kLeftColumn, true, font)) {
        return false;
    }
    state.container = CreateControl(window, kPageContainer, true, font);
    if (!state.container || !CreatePages(state, font)) {
        return false;
    }
    for (int id : kParentDrawnLabels) {
        HWND label = GetDlgItem(window, id) ? GetDlgItem(window, id) : PageControl(state, id);
        if (!label || !MakeParentDrawnLabel(label)) {
            return false;
        }
    }
    SetChecked(PageControl(state, ids::k单选框_姓名_手机号), true);
    SetChecked(GetDlgItem(state.groupBox, ids::k单选框_自定义_序号), true);
    StoreSettings(state);
    return true;
}

// ---- Events. --------------------------------------------------------------------------------------------------

void OnCommand(HWND window, const MainWindowState& state, int id, int code) {
    if (IsSettingsControl(id)) {
        StoreSettings(state);
        return;
    }
    if (code != BN_CLICKED) {
        return;
    }
    switch (id) {
        case IDCANCEL:  // Esc, wherever the focus is
            DestroyWindow(window);
            break;
        case ids::k按钮_txt转vcard:
            SelectPage(state.container, kConvertPage);
            break;
        case ids::k按钮_设置:
            SelectPage(state.container, kSettingsPage);
            break;
        case ids::k按钮_关于:
            SelectPage(state.container, kAboutPage);
            break;
        // The commands run on their own threads; a click that cannot start one has no visible effect.
        case ids::k按钮_导入文本:
            StartBackgroundTask(ImportNumberFile);
            break;
        case ids::k按钮_转换输出:
            StartBackgroundTask(GenerateVcfFile);
            break;
    }
}

// The About text draws only its text; check boxes and radio buttons keep the system's face colour.
LRESULT OnCtlColorStatic(HWND window, WPARAM wParam, LPARAM lParam) {
    if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == ids::k透明标签5) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    return DefWindowProcW(window, WM_CTLCOLORSTATIC, wParam, lParam);
}

void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PaintLabels(window, dc);
    EndPaint(window, &paint);
}

void OnListReplaced(const MainWindowState& state) {
    const std::wstring caption = L"共导入：" + std::to_wstring(TheProcess().numbers.Count()) + L"条";
    SetWindowTextW(PageControl(state, ids::k按钮_导入文本), caption.c_str());
}

void OnActivate(HWND window, MainWindowState& state, int activation) {
    if (activation == WA_INACTIVE) {
        HWND focus = GetFocus();
        state.lastFocus = focus && IsChild(window, focus) ? focus : nullptr;
    }
}

// The window itself takes no keys: the focus goes on to the control that had it, or to the first one.
void OnSetFocus(HWND window, MainWindowState& state) {
    HWND target = state.lastFocus;
    if (!target || !IsWindow(target) || !IsWindowVisible(target) || !IsWindowEnabled(target)) {
        target = GetNextDlgTabItem(window, nullptr, FALSE);
    }
    if (target) {
        SetFocus(target);
    }
}

void OnNcDestroy(HWND window, MainWindowState* state) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (state && state->aboutFont) {
        DeleteObject(state->aboutFont);
    }
    delete state;
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new MainWindowState));
    }
    MainWindowState* state = StateOf(window);
    if (!state) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_CREATE:
            return OnCreate(window, *state) ? 0 : -1;
        case WM_COMMAND:
            OnCommand(window, *state, LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(window, wParam, lParam);
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case kMsgListReplaced:
            OnListReplaced(*state);
            return 0;
        case kMsgFatalStop:
            EndAfterFatalStop();
        case WM_ACTIVATE:
            OnActivate(window, *state, LOWORD(wParam));
            break;
        case WM_SETFOCUS:
            OnSetFocus(window, *state);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            OnNcDestroy(window, state);
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return StopOnException([&] { return HandleMessage(window, message, wParam, lParam); });
}

}  // namespace

bool RegisterMainWindowClasses(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TAVIX), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TAVIX), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                      GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ids::kMainWindowClass;
    return RegisterClassExW(&windowClass) != 0 && RegisterPageContainerClass(instance) &&
           RegisterHyperlinkClass(instance);
}

HWND CreateMainWindow(HINSTANCE instance) {
    // Centred on the primary screen, in whole pixels.
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2;
    return CreateWindowExW(0, ids::kMainWindowClass, kTitle, kWindowStyle, left, top, kWindowWidth, kWindowHeight,
                           nullptr, nullptr, instance, nullptr);
}

}  // namespace tavix::app
