#include "generate_command.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "app.h"
#include "card_writer.h"
#include "file_path.h"
#include "number_list.h"
#include "vcard.h"

namespace tavix::app {

namespace {

constexpr wchar_t kMessageTitle[] = L"信息：";
constexpr wchar_t kWrittenMessage[] = L"数据生成成功(根目录会有VCF文件)";
constexpr wchar_t kFailedMessage[] = L"数据生成失败";

// WriteFile counts in DWORDs, and a single card can outgrow a chunk, so one chunk may need several calls; pieces
// of this size also let a run notice a closing window soon enough to remove its temporary file.
constexpr std::size_t kMaxWriteBytes = std::size_t{8} << 20;

// A name that an earlier run left behind (a crash, a killed process) is skipped rather than taken over.
constexpr int kTemporaryNameAttempts = 100;

constexpr int kReplaceAttempts = 5;
constexpr DWORD kReplaceRetryMilliseconds = 100;

enum class Outcome { Written, Failed, Abandoned };

// The run's output goes to a file of its own beside the final one; only a complete file takes the final name.
// Anything short of that removes the temporary file again, so an earlier output stays exactly as it was.
class TemporaryOutput : public ChunkSink {
  public:
    explicit TemporaryOutput(const std::atomic<bool>& ending) : ending_(ending) {}
    ~TemporaryOutput() override { Discard(); }
    TemporaryOutput(const TemporaryOutput&) = delete;
    TemporaryOutput& operator=(const TemporaryOutput&) = delete;

    bool Create(const std::wstring& finalPath) {
        const std::wstring stem = finalPath + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
                                  std::to_wstring(GetCurrentThreadId()) + L".";
        for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
            const std::wstring path = FileSystemPath(stem + std::to_wstring(attempt) + L".tmp");
            // No sharing: nobody reads a half-written output.
            file_ = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file_ != INVALID_HANDLE_VALUE) {
                path_ = path;
                return true;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
                return false;
            }
        }
        return false;
    }

    bool Write(std::string_view chunk) override {
        // A window closed mid-run stops the run here, between pieces of output.
        while (!chunk.empty()) {
            if (ending_.load(std::memory_order_acquire)) {
                abandoned_ = true;
                return false;
            }
            const DWORD size = static_cast<DWORD>(std::min(chunk.size(), kMaxWriteBytes));
            DWORD written = 0;
            if (!WriteFile(file_, chunk.data(), size, &written, nullptr) || written != size) {
                return false;
            }
            chunk.remove_prefix(size);
        }
        return true;
    }

    bool Abandoned() const { return abandoned_; }

    // Closes the file and gives it the final name, replacing an earlier output in one step.
    bool Commit(const std::wstring& finalPath) {
        const HANDLE file = std::exchange(file_, INVALID_HANDLE_VALUE);
        if (!CloseHandle(file)) {
            return false;
        }
        if (!ReplaceFinal(finalPath)) {
            return false;
        }
        path_.clear();
        return true;
    }

  private:
    // A virus scanner, a file indexer or a second run that is replacing the same file holds it for a moment;
    // such a moment is waited out a few times before the run reports a failure.
    bool ReplaceFinal(const std::wstring& finalPath) {
        const std::wstring target = FileSystemPath(finalPath);
        for (int attempt = 1;; ++attempt) {
            if (MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                return true;
            }
            const DWORD error = GetLastError();
            // A folder of that name denies access too, and waiting does not change it.
            const DWORD attributes = GetFileAttributesW(target.c_str());
            const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
            const bool busy = !folder && (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                                          error == ERROR_LOCK_VIOLATION);
            if (!busy || attempt == kReplaceAttempts || ending_.load(std::memory_order_acquire)) {
                return false;
            }
            Sleep(kReplaceRetryMilliseconds);
        }
    }

    void Discard() {
        if (file_ != INVALID_HANDLE_VALUE) {
            CloseHandle(std::exchange(file_, INVALID_HANDLE_VALUE));
        }
        if (!path_.empty()) {
            DeleteFileW(path_.c_str());
            path_.clear();
        }
    }

    const std::atomic<bool>& ending_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::wstring path_;
    bool abandoned_ = false;
};

Outcome WriteOutputFile() {
    Process& process = TheProcess();
    // The run keeps the list as it was at its start: an import meanwhile swaps in a new list and leaves this one
    // alive until the run lets go of it.
    const std::shared_ptr<const NumberLines> lines = process.numbers.Snapshot();
    const std::size_t count = lines ? lines->Count() : 0;
    const std::wstring finalPath = process.programDirectory + L"\\" + kOutputFileName;

    // Declared before the file, so the shutdown waits until the file is gone again.
    const FileWorkGuard guard;
    // Looked at only once the guard is held: a shutdown that found no guard has set `ending` before this.
    if (process.ending.load()) {
        return Outcome::Abandoned;
    }
    TemporaryOutput output(process.ending);
    if (!output.Create(finalPath)) {
        return Outcome::Failed;
    }

    CardWriter writer(output);
    // The settings are read anew for every card, as they are when its turn comes; the mirror's version tells when
    // a control changed, so the copy is taken only then.
    std::uint32_t seenVersion = process.settings.Version();
    CardOptions options = process.settings.Load();
    bool stored = true;
    for (std::size_t position = 1; position <= count && stored; ++position) {
        const std::uint32_t version = process.settings.Version();
        if (version != seenVersion) {
            seenVersion = version;
            options = process.settings.Load();
        }
        stored = writer.Add(lines->Entry(position), position, options);
    }
    stored = stored && writer.Finish();

    if (output.Abandoned()) {
        return Outcome::Abandoned;
    }
    if (!stored || !output.Commit(finalPath)) {
        return Outcome::Failed;
    }
    return Outcome::Written;
}

}  // namespace

void GenerateVcfFile() {
    // Exhausted memory unwinds from here to the task's entry, which stops the program; the unwinding removes the
    // temporary file on its way.
    const Outcome outcome = WriteOutputFile();
    if (outcome == Outcome::Abandoned || TheProcess().ending.load()) {
        return;
    }
    const wchar_t* message = outcome == Outcome::Written ? kWrittenMessage : kFailedMessage;
    MessageBoxW(nullptr, message, kMessageTitle, MB_OK | MB_TASKMODAL);
}

}  // namespace tavix::app
