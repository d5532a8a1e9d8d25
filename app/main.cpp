// The frame of the process: start-up, the message loop, the shutdown, background tasks and FatalStop.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "app.h"
#include "frame.h"
#include "main_window.h"
#include "win_text.h"

namespace tavix::app {

namespace {

// How long the shutdown lets a generate run remove its temporary file before the process ends with it.
constexpr std::chrono::milliseconds kFileWorkGrace{700};

// ---- ExitCleanups: routines run once each, in the order added, at a normal shutdown. -------------------------

using ExitCleanup = void (*)();

struct ExitCleanupList {
    std::mutex mutex;
    std::vector<ExitCleanup> routines;
};

ExitCleanupList& ExitCleanups() {
    static ExitCleanupList list;
    return list;
}

void AddExitCleanup(ExitCleanup routine) {
    ExitCleanupList& list = ExitCleanups();
    std::lock_guard<std::mutex> lock(list.mutex);
    if (std::find(list.routines.begin(), list.routines.end(), routine) == list.routines.end()) {
        list.routines.push_back(routine);
    }
}

void RunExitCleanups() {
    ExitCleanupList& list = ExitCleanups();
    std::vector<ExitCleanup> routines;
    {
        std::lock_guard<std::mutex> lock(list.mutex);
        routines.swap(list.routines);
    }
    for (ExitCleanup routine : routines) {
        routine();
    }
}

// A FatalStop ends the process without them: the state they would release may be what failed.
void DropExitCleanups() {
    ExitCleanupList& list = ExitCleanups();
    std::lock_guard<std::mutex> lock(list.mutex);
    list.routines.clear();
}

void ReleaseNumberList() {
    TheProcess().numbers.Release();
}

// ---- FileWorkGuard holders, counted so that the shutdown can wait for them a little. ---------------------------

struct FileWork {
    std::mutex mutex;
    std::condition_variable idle;
    int holders = 0;
};

FileWork& TheFileWork() {
    static FileWork work;
    return work;
}

// Gives the runs that hold a temporary file up to `limit` to remove it. `ending` is set before this looks, so a
// run that takes its guard first and only then checks `ending` either is waited for or sees the end coming.
void WaitForFileWork(std::chrono::milliseconds limit) {
    FileWork& work = TheFileWork();
    std::unique_lock<std::mutex> lock(work.mutex);
    work.idle.wait_for(lock, limit, [&] { return work.holders == 0; });
}

// ---- Start-up. ------------------------------------------------------------------------------------------------

// Only the system directory is searched for DLLs loaded at run time, so a DLL dropped beside the program (in a
// Downloads folder, say) is never loaded. Looked up by name: Windows 7 without KB2533623 lacks the function.
void RestrictDllSearch() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(found));
    if (!setDefaultDllDirectories || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        SetDllDirectoryW(L"");  // at least the current directory leaves the search
    }
}

// The full path of the program file, however long it is.
std::wstring ProgramFilePath() {
    constexpr std::size_t kLongestPath = 32768;  // the system's own limit, prefix included
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= kLongestPath) {
            return {};
        }
        path.resize(path.size() * 2);  // cut short: try again with room to spare
    }
}

// The part before the last backslash; empty when there is none.
std::wstring DirectoryOf(const std::wstring& path) {
    const std::size_t cut = path.rfind(L'\\');
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

void EnterProgramDirectory(const std::wstring& directory) {
    if (directory.empty()) {
        return;  // the current directory stays as the system gave it
    }
    // "C:" alone would name the drive's current directory, not its root.
    const std::wstring target = directory.back() == L':' ? directory + L'\\' : directory;
    SetCurrentDirectoryW(target.c_str());  // a failure is no reason to stop
}

void RunMessageLoop(HWND mainWindow) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, Shift+Tab, the arrow keys among radio buttons and Esc are the dialog manager's.
        if (IsDialogMessageW(mainWindow, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

[[noreturn]] void ShutDown() {
    Process& process = TheProcess();
    process.ending.store(true, std::memory_order_release);
    WaitForFileWork(kFileWorkGrace);
    RunExitCleanups();
    // Tasks still running end with the process; nothing waits for them.
    ExitProcess(0);
}

[[noreturn]] void Run(HINSTANCE instance, int showCommand) {
    RestrictDllSearch();
    Process& process = TheProcess();  // the number list exists, empty, from here on
    process.programDirectory = DirectoryOf(ProgramFilePath());
    EnterProgramDirectory(process.programDirectory);
    AddExitCleanup(ReleaseNumberList);

    HWND mainWindow = RegisterMainWindowClasses(instance) ? CreateMainWindow(instance) : nullptr;
    if (!mainWindow) {
        FatalStop("无法创建程序的主窗口。");
    }
    process.mainWindow = mainWindow;
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);

    RunMessageLoop(mainWindow);
    ShutDown();
}

DWORD WINAPI BackgroundTaskEntry(LPVOID parameter) {
    const auto routine = reinterpret_cast<void (*)()>(parameter);
    StopOnException(routine);
    return 0;
}

}  // namespace

Process& TheProcess() {
    static Process process;
    return process;
}

bool StartBackgroundTask(void (*routine)()) {
    HANDLE thread = CreateThread(nullptr, 0, BackgroundTaskEntry, reinterpret_cast<LPVOID>(routine), 0, nullptr);
    if (!thread) {
        return false;
    }
    CloseHandle(thread);  // nobody waits for a task
    return true;
}

void FatalStop(const std::string& fault) {
    std::wstring text;
    try {
        text = L"程序遇到无法继续的错误，即将退出。\r\n\r\n" + Wide(fault);
    } catch (...) {
        text = L"程序遇到无法继续的错误（内存不足），即将退出。";
    }
    MessageBoxW(nullptr, text.c_str(), L"TavixvCard - 错误", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    DropExitCleanups();
    // From a task, the window thread is asked to end the process; should it not answer, the task ends it itself.
    const HWND mainWindow = TheProcess().mainWindow;
    if (mainWindow && GetWindowThreadProcessId(mainWindow, nullptr) != GetCurrentThreadId()) {
        SendMessageTimeoutW(mainWindow, kMsgFatalStop, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    }
    EndAfterFatalStop();
}

void EndAfterFatalStop() {
    ExitProcess(static_cast<UINT>(-1));
}

FileWorkGuard::FileWorkGuard() {
    FileWork& work = TheFileWork();
    std::lock_guard<std::mutex> lock(work.mutex);
    ++work.holders;
}

FileWorkGuard::~FileWorkGuard() {
    FileWork& work = TheFileWork();
    std::lock_guard<std::mutex> lock(work.mutex);
    if (--work.holders == 0) {
        work.idle.notify_all();
    }
}

}  // namespace tavix::app

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    tavix::app::StopOnException([&] { tavix::app::Run(instance, showCommand); });
    return 0;  // not reached: Run ends the process
}
