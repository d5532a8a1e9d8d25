// Win32 helpers of the driver: files, windows of another process, their texts, and waiting with a deadline.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// ---- files and paths ----
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
std::wstring FolderOf(const std::wstring& path);
bool MakeFolder(const std::wstring& path);  // true also when it exists
bool IsFolder(const std::wstring& path);
bool FileExists(const std::wstring& path);
std::optional<std::string> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::vector<std::wstring> ListFolder(const std::wstring& folder);  // names, sorted, without "." and ".."
std::wstring CurrentDirectory();

// ---- windows ----
std::wstring ClassOf(HWND window);
// The text of a window of any process (WM_GETTEXT; GetWindowTextW gives nothing for another process's edit box).
// Empty when the window does not answer in time.
std::wstring TextOf(HWND window);
bool SetTextOf(HWND window, const std::wstring& text);  // WM_SETTEXT, as a program typing would set it
// All descendants, depth first, in the order EnumChildWindows gives them.
std::vector<HWND> DescendantsOf(HWND parent);
// The first descendant with this control ID (and class, when given).
HWND FindDescendant(HWND parent, int id, const wchar_t* className = nullptr);
// The top-level windows of a process, visible or not.
std::vector<HWND> TopWindowsOf(DWORD processId);
// Sends a message that carries no pointer and gives its result; nullopt when the window does not answer in 5 s.
std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// The keyboard focus of the GUI thread that owns `window`.
HWND FocusOfThreadOf(HWND window);
// Posts a key press and release, as IsDialogMessageW in the program's loop sees a key.
bool PostKey(HWND target, UINT virtualKey);
// Window rectangle in screen coordinates.
RECT RectOf(HWND window);

// ---- waiting ----
// Polls `condition` every 20 ms until it holds (true), the deadline passes or `process` ends (false).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, HANDLE process = nullptr);
bool ProcessAlive(HANDLE process);

// ---- memory in another process, for list-view messages that Wine does not carry across processes ----
class RemoteMemory {
  public:
    RemoteMemory(HANDLE process, std::size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    void* Address() const { return address_; }
    bool Write(const void* data, std::size_t size, std::size_t offset = 0);
    bool Read(void* data, std::size_t size, std::size_t offset = 0) const;

  private:
    HANDLE process_;
    void* address_ = nullptr;
};

// The item texts of a list view in another process.
std::vector<std::wstring> ListViewItems(HANDLE process, HWND listView);

// Colours counted inside a screen rectangle.
struct PixelCount {
    int total = 0;
    int matching = 0;
};
PixelCount CountPixels(const RECT& screenRect, COLORREF colour);

}  // namespace e2e
