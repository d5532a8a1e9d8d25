// The system's open-file dialog, with the process's current directory guarded around it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tavix::app {

// Shows the dialog owned by `ownerWindow` and blocks the calling thread until it closes. Gives the chosen file's
// full path (UTF-8), or the empty text when the user cancels or the dialog fails.
// A parameter that is not given takes its default; a given one is used unchanged, even when empty:
// - initialDirectory: the current directory at the time of the call (an empty one lets the dialog choose);
// - title: "打开文件" (an empty one leaves the dialog's own title);
// - filter: "所有文件(*.*)|*.*", descriptions and patterns separated by "|";
// - keepDialogDirectory: false, so the current directory is set back to what it was before the dialog.
std::string ShowOpenFileDialog(HWND ownerWindow,
                               const std::optional<std::string>& initialDirectory = {},
                               const std::optional<std::string>& title = {},
                               const std::optional<std::string>& filter = {},
                               std::optional<bool> keepDialogDirectory = {});

}  // namespace tavix::app
