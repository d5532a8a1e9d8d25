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

constexpr UINT_PTR kLabelSubclassId = 2;
constexpr wchar_t kParentDrawnLabel[] = L"TavixvCard.ParentDrawnLabel";

// A label whose parent draws its text: the label window itself keeps only its place, text and font.
LRESULT CALLBACK ParentDrawnLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(label, &paint);
            EndPaint(label, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SETTEXT:
        case WM_SETFONT: {
            // The old text may have reached beyond the label: the parent draws the whole of it afresh.
            const LRESULT result = DefSubclassProc(label, message, wParam, lParam);
            InvalidateRect(GetParent(label), nullptr, TRUE);
            return result;
        }
        case WM_NCDESTROY:
            RemovePropW(label, kParentDrawnLabel);
            RemoveWindowSubclass(label, ParentDrawnLabelProc, kLabelSubclassId);
            break;
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

}  // namespace

bool MakeParentDrawnLabel(HWND label) {
    return SetPropW(label, kParentDrawnLabel, reinterpret_cast<HANDLE>(1)) &&
           SetWindowSubclass(label, ParentDrawnLabelProc, kLabelSubclassId, 0);
}

void PaintLabels(HWND parent, HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!GetPropW(child, kParentDrawnLabel) || !IsWindowVisible(child)) {
            continue;
        }
        RECT place;
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
        const std::wstring text = GetText(child);
        const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0)));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &place,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
        SelectObject(dc, previous);
    }
}

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
