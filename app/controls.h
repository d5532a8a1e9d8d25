// Small helpers for the child controls of the main window: creating one from a layout row, fonts, checks, texts.
#pragma once

#include <windows.h>

#include <string>

namespace tavix::app {

// Position relative to the parent's client area and outer size, in pixels.
struct ControlPlace {
    int x;
    int y;
    int width;
    int height;
};

// One row of a layout table.
struct ControlLayout {
    int id;
    const wchar_t* className;
    DWORD style;  // the kind's own bits; WS_CHILD and WS_VISIBLE are added by CreateControl
    DWORD exStyle;
    ControlPlace place;
    const wchar_t* text;
};

// The looks that every control of a kind shares.
inline constexpr DWORD kPushButtonStyle = WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER;
inline constexpr DWORD kCheckBoxStyle = WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE | BS_LEFT | BS_VCENTER;
inline constexpr DWORD kRadioButtonStyle = WS_TABSTOP | BS_AUTORADIOBUTTON | BS_MULTILINE | BS_LEFT | BS_VCENTER;
inline constexpr DWORD kEditBoxStyle = WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | ES_CENTER;
inline constexpr DWORD kGroupBoxStyle = BS_GROUPBOX;
// One line, left-aligned, centred vertically; the background comes from WM_CTLCOLORSTATIC (transparent).
inline constexpr DWORD kLabelStyle = SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX;

inline constexpr wchar_t kButtonClass[] = L"Button";
inline constexpr wchar_t kStaticClass[] = L"Static";
inline constexpr wchar_t kEditClass[] = L"Edit";

// Creates the control as a child of `parent` with the layout's ID, place and text, and gives it `font` when there is
// one. Null when the system could not create it.
HWND CreateControl(HWND parent, const ControlLayout& layout, bool visible, HFONT font);

void SetFont(HWND control, HFONT font);

// True only for the ticked or selected state of a check box or radio button.
bool IsChecked(HWND button);
void SetChecked(HWND button, bool checked);

std::wstring GetText(HWND control);

// A transparent label draws only its text, and that text is not cut at the label's edge: the label's parent draws
// it, in PaintLabels, wherever the text reaches.
bool MakeParentDrawnLabel(HWND label);
void PaintLabels(HWND parent, HDC dc);

// Lets `control` pass the notifications of its own children (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*) on to its
// parent, as a group box that holds a radio button must: the button control itself drops them.
bool ForwardChildNotifications(HWND control);

}  // namespace tavix::app
