#include "stress_helpers.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "win.h"

namespace e2e {

std::wstring EnvironmentText(const wchar_t* name) {
    std::wstring value(32768, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(length < value.size() ? length : 0);
    return value;
}

std::string NumberFile(std::uint64_t first, std::size_t count) {
    std::string bytes;
    bytes.reserve(count * 13);
    char line[32];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "%011llu\r\n", static_cast<unsigned long long>(first + i));
        bytes += line;
    }
    return bytes;
}

std::string Card(const std::string& name, const std::string& tel) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:" + name + "\r\nFN;CHARSET=UTF-8:" + name +
           "\r\nTEL;TYPE=CELL:" + tel + "\r\nEND:VCARD\r\n";
}

std::string DefaultCard(const std::string& entry) {
    return Card(entry, entry);
}

std::string DefaultOutputOfNumbers(std::uint64_t first, std::size_t count) {
    std::string out;
    out.reserve(count * 123);
    char number[32];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(number, sizeof number, "%011llu", static_cast<unsigned long long>(first + i));
        out += DefaultCard(number);
    }
    return out;
}

std::vector<std::wstring> TemporaryFiles(const std::wstring& folder) {
    std::vector<std::wstring> found;
    for (const std::wstring& name : ListFolder(folder)) {
        if (name.size() >= 4 && name.compare(name.size() - 4, 4, L".tmp") == 0)
            found.push_back(name);
    }
    return found;
}

bool NoTemporaryFiles(Context& ctx, const std::wstring& folder, const std::string& when) {
    const std::vector<std::wstring> left = TemporaryFiles(folder);
    if (left.empty())
        return true;
    ctx.Fail(__FILE__, __LINE__, Message(when, ": ", left.size(), " temporary file(s) left, first ", left.front()));
    return false;
}

bool WriteSparseFile(const std::wstring& path, std::uint64_t size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    return CloseHandle(file) && ok;
}

std::uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool FileMatchesStream(Context& ctx,
                       const std::wstring& path,
                       std::uint64_t expectedSize,
                       const std::function<void(std::uint64_t offset, char* out, std::size_t size)>& expectedAt) {
    const std::uint64_t size = FileSize(path);
    if (size != expectedSize) {
        ctx.Fail(__FILE__, __LINE__, Message(path, " holds ", size, " bytes, expected ", expectedSize));
        return false;
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ctx.Fail(__FILE__, __LINE__, Message("cannot open ", path));
        return false;
    }
    constexpr std::size_t kChunk = std::size_t{4} << 20;
    std::string actual(kChunk, '\0');
    std::string expected(kChunk, '\0');
    bool same = true;
    for (std::uint64_t offset = 0; offset < size && same;) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, size - offset));
        DWORD got = 0;
        if (!ReadFile(file, actual.data(), static_cast<DWORD>(want), &got, nullptr) || got != want) {
            ctx.Fail(__FILE__, __LINE__, Message("cannot read ", path, " at ", offset));
            same = false;
            break;
        }
        expectedAt(offset, expected.data(), want);
        if (std::memcmp(actual.data(), expected.data(), want) != 0) {
            std::size_t at = 0;
            while (actual[at] == expected[at])
                ++at;
            const std::size_t from = at > 40 ? at - 40 : 0;
            ctx.Fail(__FILE__, __LINE__,
                     Message(path, " differs at byte ", offset + at, ": got \"",
                             Escaped(std::string_view(actual).substr(from, want - from), 100), "\", expected \"",
                             Escaped(std::string_view(expected).substr(from, want - from), 100), "\""));
            same = false;
        }
        offset += want;
    }
    CloseHandle(file);
    return same;
}

bool TryClick(HWND button) {
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button) ||
        !IsWindowEnabled(GetAncestor(button, GA_ROOT)))
        return false;
    return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

std::vector<HWND> TopWindowsTitled(DWORD processId, const wchar_t* className, const std::wstring& title) {
    std::vector<HWND> found;
    for (HWND window : TopWindowsOf(processId)) {
        if (IsWindowVisible(window) && ClassOf(window) == className && TextOf(window) == title)
            found.push_back(window);
    }
    return found;
}

std::int64_t NowUs() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<std::int64_t>(now.QuadPart / frequency * 1000000 +
                                     now.QuadPart % frequency * 1000000 / frequency);
}

std::uint64_t ProcessPrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return 0;
    // Wine leaves PrivateUsage at 0 for another process; PagefileUsage is the same figure (the private bytes).
    return std::max<std::uint64_t>(counters.PrivateUsage, counters.PagefileUsage);
}

std::uint64_t ProcessPeakPrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return 0;
    return counters.PeakPagefileUsage;
}

Watcher::Watcher(HANDLE process, HWND window) : process_(process), window_(window) {
    thread_ = std::thread([this] {
        while (!stop_.load()) {
            const std::uint64_t now = ProcessPrivateBytes(process_);
            if (now > peakPrivate_.load())
                peakPrivate_.store(now);
            if (window_) {
                const std::int64_t start = NowUs();
                DWORD_PTR result = 0;
                SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
                const std::uint64_t took = static_cast<std::uint64_t>(NowUs() - start);
                if (took > longestAnswerUs_.load())
                    longestAnswerUs_.store(took);
            }
            samples_.fetch_add(1);
            Sleep(10);
        }
    });
}

Watcher::~Watcher() {
    Stop();
}

void Watcher::Stop() {
    stop_.store(true);
    if (thread_.joinable())
        thread_.join();
}

}  // namespace e2e
