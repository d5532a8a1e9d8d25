#include "web_links.h"

#include <shellapi.h>

#include <string>

#include "com_apartment.h"
#include "frame.h"
#include "window_ids.h"

namespace tavix::app {

const wchar_t MakerWebAddress[] = L"https://tavix.example.com/";

namespace {

constexpr COLORREF kNormalColour = RGB(0, 0, 255);
constexpr COLORREF kHoverColour = RGB(0, 120, 215);
constexpr COLORREF kVisitedColour = RGB(128, 0, 0);

// What one hyperlink remembers for as long as its window lives.
struct HyperlinkState {
    std::wstring address = MakerWebAddress;
    HFONT font = nullptr;  // null: DEFAULT_GUI_FONT
    bool hover = false;
    bool visited = false;
};

HyperlinkState* StateOf(HWND window) {
    return reinterpret_cast<HyperlinkState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

COLORREF CaptionColour(const HyperlinkState& state) {
    if (state.hover) {
        return kHoverColour;
    }
    return state.visited ? kVisitedColour : kNormalColour;
}

void Paint(HWND window, const HyperlinkState& state) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    RECT area;
    GetClientRect(window, &area);
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));

    const int length = GetWindowTextLengthW(window);
    std::wstring caption(static_cast<std::size_t>(length) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(GetWindowTextW(window, caption.data(), length + 1)));

    const HFONT font = state.font ? state.font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const HGDIOBJ previousFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, CaptionColour(state));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &area,
              DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, previousFont);
    EndPaint(window, &paint);
}

LRESULT HandleHyperlinkMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* state = new HyperlinkState;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    HyperlinkState* state = StateOf(window);
    if (!state) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            delete state;
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_ERASEBKGND:
            // WM_PAINT fills the whole area; erasing first would only flicker.
            return 1;
        case WM_PAINT:
            Paint(window, *state);
            return 0;
        case WM_SETFONT:
            state->font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) {
                InvalidateRect(window, nullptr, TRUE);
            }
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(state->font);
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
            InvalidateRect(window, nullptr, TRUE);
            return result;
        }
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        case WM_MOUSEMOVE:
            if (!state->hover) {
                // Windows reports the leaving only once per request, so ask again on every entry.
                TRACKMOUSEEVENT track{};
                track.cbSize = sizeof(track);
                track.dwFlags = TME_LEAVE;
                track.hwndTrack = window;
                TrackMouseEvent(&track);
                state->hover = true;
                InvalidateRect(window, nullptr, TRUE);
            }
            return 0;
        case WM_MOUSELEAVE:
            state->hover = false;
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_LBUTTONDOWN:
            state->visited = OpenLinkAddress(state->address);
            // After a failure the pointer is still here, so the hover colour shows anyway; the new state shows
            // once it leaves.
            if (state->visited) {
                InvalidateRect(window, nullptr, TRUE);
                UpdateWindow(window);
            }
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK HyperlinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return StopOnException([&] { return HandleHyperlinkMessage(window, message, wParam, lParam); });
}

}  // namespace

void OpenWebAddress(const std::wstring& address) {
    const ComApartment apartment;
    ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool OpenLinkAddress(const std::wstring& address) {
    if (address.empty()) {
        return false;
    }
    const ComApartment apartment;
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool RegisterHyperlinkClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = HyperlinkProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_HAND);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ids::kHyperlinkClass;
    return RegisterClassExW(&windowClass) != 0;
}

}  // namespace tavix::app
