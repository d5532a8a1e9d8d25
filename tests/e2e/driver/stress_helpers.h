// Helpers of the fault and bench runs: big inputs and their expected outputs, comparing a big output as a stream,
// watching the program's memory and the window's answers while it works.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app_session.h"
#include "check.h"

namespace e2e {

std::wstring EnvironmentText(const wchar_t* name);

// `count` eleven-digit numbers from `first` on, each ended by CR LF.
std::string NumberFile(std::uint64_t first, std::size_t count);
// One card as the default settings make it (the entry is both name and number), and with a TEL of its own.
std::string DefaultCard(const std::string& entry);
std::string Card(const std::string& name, const std::string& tel);
// The whole output of the default settings for NumberFile(first, count).
std::string DefaultOutputOfNumbers(std::uint64_t first, std::size_t count);

// Names in `folder` that end in ".tmp": what a run left behind.
std::vector<std::wstring> TemporaryFiles(const std::wstring& folder);
bool NoTemporaryFiles(Context& ctx, const std::wstring& folder, const std::string& when);

// A file of `size` bytes that takes no space (its end set, nothing written).
bool WriteSparseFile(const std::wstring& path, std::uint64_t size);
std::uint64_t FileSize(const std::wstring& path);  // 0 also when it cannot be read

// Compares a file with bytes produced piece by piece (`expectedAt` fills `size` bytes from `offset`), in chunks,
// so that an output of hundreds of megabytes is never held whole; reports the first difference.
bool FileMatchesStream(Context& ctx,
                       const std::wstring& path,
                       std::uint64_t expectedSize,
                       const std::function<void(std::uint64_t offset, char* out, std::size_t size)>& expectedAt);

// A click posted as a user's fast second click is: no wait, no failure recorded; false when the button or its
// window is disabled or hidden.
bool TryClick(HWND button);

// The visible top-level windows of a process with this class and title.
std::vector<HWND> TopWindowsTitled(DWORD processId, const wchar_t* className, const std::wstring& title);

// Watches a running program every 10 ms from a thread of its own: its private memory and, when a window is given,
// the longest round trip of WM_NULL to it.
class Watcher {
  public:
    Watcher(HANDLE process, HWND window);
    ~Watcher();
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;
    void Stop();
    std::uint64_t PeakPrivateBytes() const { return peakPrivate_.load(); }
    double LongestAnswerMs() const { return longestAnswerUs_.load() / 1000.0; }
    int Samples() const { return samples_.load(); }

  private:
    HANDLE process_;
    HWND window_;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> peakPrivate_{0};
    std::atomic<std::uint64_t> longestAnswerUs_{0};
    std::atomic<int> samples_{0};
    std::thread thread_;
};

// The process's own peak figure (PeakPagefileUsage, the private bytes at their highest) and its private bytes now.
std::uint64_t ProcessPeakPrivateBytes(HANDLE process);
std::uint64_t ProcessPrivateBytes(HANDLE process);

// A monotonic clock in microseconds.
std::int64_t NowUs();

}  // namespace e2e
