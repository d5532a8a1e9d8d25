// The process-wide services and state of the program: the frame that the window and the two commands run in.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "number_list.h"
#include "vcard.h"

namespace tavix::app {

// Posted by an import task to the main window once it has replaced the list: the window thread then writes the
// count into the import button's caption, so no task touches a control.
inline constexpr UINT kMsgListReplaced = WM_APP + 1;

// Sent by a FatalStop on a background thread: the window thread ends the process, so the ending happens where the
// window's resources live.
inline constexpr UINT kMsgFatalStop = WM_APP + 2;

// Ends the process after a fault with no way forward (exit code -1); the window thread's side of FatalStop.
[[noreturn]] void EndAfterFatalStop();

// A copy of the settings on the page "设置", kept by the window thread whenever one of those controls changes.
// A generate run reads it for every card without a cross-thread message; Version() tells it when to re-read.
class SettingsMirror {
  public:
    void Store(const CardOptions& options);
    CardOptions Load() const;
    std::uint32_t Version() const { return version_.load(std::memory_order_acquire); }

  private:
    mutable std::mutex mutex_;
    CardOptions options_;
    std::atomic<std::uint32_t> version_{0};
};

// Process-wide state, set up by start-up before the window exists.
struct Process {
    std::wstring programDirectory;  // the folder of the program file, without a trailing backslash
    NumberList numbers;
    SettingsMirror settings;
    HWND mainWindow = nullptr;
    std::atomic<bool> ending{false};  // set once the message loop has ended
};
Process& TheProcess();

// Runs `routine` on a new thread that nobody waits for. False when the thread could not be started.
bool StartBackgroundTask(void (*routine)());

// Shows the fault in an error box and ends the process with exit code -1, from any thread.
[[noreturn]] void FatalStop(const std::string& fault);

// A generate run holds one of these while it owns a temporary file, so that the shutdown can give it a moment to
// remove that file instead of leaving it behind when the window is closed mid-run.
class FileWorkGuard {
  public:
    FileWorkGuard();
    ~FileWorkGuard();
    FileWorkGuard(const FileWorkGuard&) = delete;
    FileWorkGuard& operator=(const FileWorkGuard&) = delete;
};

// The two commands; each runs on its own background thread.
void ImportNumberFile();
void GenerateVcfFile();

}  // namespace tavix::app
