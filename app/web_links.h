// The two ways to the maker's web site: the About text and the hyperlink "查看".
#pragma once

#include <windows.h>

#include <string>

namespace tavix::app {

// The one address that both places open.
extern const wchar_t MakerWebAddress[];

// Asks the shell to open `address`; whether it could is not looked at. The About text's action.
void OpenWebAddress(const std::wstring& address);

// Asks the shell to open `address`; true when it could. An empty address gives false without asking.
bool OpenLinkAddress(const std::wstring& address);

// Registers the window class ids::kHyperlinkClass: a one-line link that shows its window text, opens
// MakerWebAddress when the left button goes down on it, and shows whether the pointer is over it and whether the
// last opening succeeded. Takes the font of WM_SETFONT, else DEFAULT_GUI_FONT. False when registration failed.
bool RegisterHyperlinkClass(HINSTANCE instance);

}  // namespace tavix::app
