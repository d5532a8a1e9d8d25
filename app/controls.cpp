#include "controls.h"

#include <commctrl.h>

namespace tavix::app {

namespace {

constexpr UINT_PTR kForwardSubclassId = 1;

LRESULT CALLBACK ForwardingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            return SendMessageW(GetParent(window), message, wParam, lParam);
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, ForwardingProc, kForwardSubclassId);
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

HWND CreateControl(HWND parent, const ControlLayout& layout, bool visible, HFONT font) {
    const DWORD style = WS_CHILD | layout.style | (visible ? WS_VISIBLE : 0);
    HWND control =
        CreateWindowExW(layout.exStyle, layout.className, layout.text, style, layout.place.x, layout.place.y,
                        layout.place.width, layout.place.height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), GetModuleHandleW(nullptr), nullptr);
    if (control && font) {
        SetFont(control, font);
    }
    return control;
}

void SetFont(HWND control, HFONT font) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

bool IsChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND button, bool checked) {
    SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::wstring GetText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

bool ForwardChildNotifications(HWND control) {
    return SetWindowSubclass(control, ForwardingProc, kForwardSubclassId, 0) != FALSE;
}

}  // namespace tavix::app
