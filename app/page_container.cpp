#include "page_container.h"

#include <utility>

#include "controls.h"
#include "frame.h"
#include "window_ids.h"

namespace tavix::app {

namespace {

struct PageState {
    std::vector<Page> pages;
    int current = -1;
};

PageState* StateOf(HWND container) {
    return reinterpret_cast<PageState*>(GetWindowLongPtrW(container, GWLP_USERDATA));
}

void ShowPageControls(HWND container, const PageState& state) {
    // Hide first, then show, so a control that sits on two pages would end up visible.
    for (std::size_t page = 0; page < state.pages.size(); ++page) {
        if (static_cast<int>(page) == state.current) {
            continue;
        }
        for (int id : state.pages[page].controlIds) {
            ShowWindow(GetDlgItem(container, id), SW_HIDE);
        }
    }
    for (int id : state.pages[state.current].controlIds) {
        ShowWindow(GetDlgItem(container, id), SW_SHOWNA);
    }
    // The labels are transparent, so the whole page area is drawn afresh rather than only the uncovered parts.
    RedrawWindow(container, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);

    // Keys must not go on to a control that just disappeared.
    HWND focus = GetFocus();
    if (focus && IsChild(container, focus) && !IsWindowVisible(focus)) {
        HWND topLevel = GetAncestor(container, GA_ROOT);
        if (HWND next = GetNextDlgTabItem(topLevel, nullptr, FALSE)) {
            SetFocus(next);
        }
    }
}

void Paint(HWND container) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(container, &paint);
    RECT frame;
    GetClientRect(container, &frame);
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    PaintLabels(container, dc);
    EndPaint(container, &paint);
}

LRESULT HandleMessage(HWND container, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            SetWindowLongPtrW(container, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new PageState));
            break;
        case WM_NCDESTROY:
            delete StateOf(container);
            SetWindowLongPtrW(container, GWLP_USERDATA, 0);
            break;
        case WM_PAINT:
            Paint(container);
            return 0;
        // The pages' controls report to the main window, as if they sat on it directly.
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            return SendMessageW(GetParent(container), message, wParam, lParam);
    }
    return DefWindowProcW(container, message, wParam, lParam);
}

LRESULT CALLBACK PageContainerProc(HWND container, UINT message, WPARAM wParam, LPARAM lParam) {
    return StopOnException([&] { return HandleMessage(container, message, wParam, lParam); });
}

}  // namespace

bool RegisterPageContainerClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = PageContainerProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ids::kPageContainerClass;
    return RegisterClassExW(&windowClass) != 0;
}

void SetPages(HWND container, std::vector<Page> pages, int current) {
    PageState* state = StateOf(container);
    if (!state || current < 0 || current >= static_cast<int>(pages.size()) || pages[current].hidden) {
        return;
    }
    state->pages = std::move(pages);
    state->current = current;
    ShowPageControls(container, *state);
}

bool SelectPage(HWND container, int page) {
    PageState* state = StateOf(container);
    if (!state || page < 0 || page >= static_cast<int>(state->pages.size()) || state->pages[page].hidden) {
        return false;
    }
    if (page != state->current) {
        state->current = page;
        ShowPageControls(container, *state);
    }
    return true;
}

int CurrentPage(HWND container) {
    const PageState* state = StateOf(container);
    return state ? state->current : -1;
}

}  // namespace tavix::app
