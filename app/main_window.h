// The main window: the program's only window and its whole user interface.
#pragma once

#include <windows.h>

namespace tavix::app {

// Registers the window classes the main window needs (its own, the page container's, the hyperlink's).
bool RegisterMainWindowClasses(HINSTANCE instance);

// Creates the window, hidden, with every control in its initial state, centred on the primary screen and on the
// page "TXT转vCard". Null when it could not be created.
HWND CreateMainWindow(HINSTANCE instance);

}  // namespace tavix::app
