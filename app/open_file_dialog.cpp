#include "open_file_dialog.h"

#include <commdlg.h>

#include <vector>

#include "com_apartment.h"
#include "filter_buffer.h"
#include "win_text.h"

namespace tavix::app {

namespace {

constexpr char kDefaultTitle[] = "打开文件";
constexpr char kDefaultFilter[] = "所有文件(*.*)|*.*";
constexpr DWORD kMaxPathCharacters = 512;

// The empty text when the directory cannot be read; the buffer grows for directories past MAX_PATH.
std::wstring CurrentDirectory() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        // Too small: `length` is the size needed, its zero included. Another thread may change the directory
        // in between, hence the retry.
        buffer.assign(length, L'\0');
    }
    return {};
}

}  // namespace

std::string ShowOpenFileDialog(HWND ownerWindow,
                               const std::optional<std::string>& initialDirectory,
                               const std::optional<std::string>& title,
                               const std::optional<std::string>& filter,
                               std::optional<bool> keepDialogDirectory) {
    const std::wstring rememberedDirectory = CurrentDirectory();

    const std::wstring startDirectory = initialDirectory ? Wide(*initialDirectory) : rememberedDirectory;
    const std::wstring titleText = Wide(title.value_or(kDefaultTitle));
    // The buffer's zeros separate its strings; the converter carries them through unchanged.
    const std::wstring filterBuffer = Wide(BuildFilterBuffer(filter.value_or(kDefaultFilter)));
    const bool keepDirectory = keepDialogDirectory.value_or(false);

    std::vector<wchar_t> fileBuffer(kMaxPathCharacters + 1, L'\0');
    std::vector<wchar_t> fileTitleBuffer(kMaxPathCharacters + 1, L' ');
    fileTitleBuffer.back() = L'\0';

    // The record without the fields added after Windows NT 4: the dialog needs none of them.
    OPENFILENAMEW record{};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    record.hwndOwner = ownerWindow;
    record.hInstance = nullptr;
    record.lpstrFilter = filterBuffer.empty() ? nullptr : filterBuffer.c_str();
    record.lpstrCustomFilter = nullptr;
    record.nMaxCustFilter = 0;
    record.nFilterIndex = 1;
    record.lpstrFile = fileBuffer.data();
    record.nMaxFile = kMaxPathCharacters;
    record.lpstrFileTitle = fileTitleBuffer.data();
    record.nMaxFileTitle = kMaxPathCharacters;
    record.lpstrInitialDir = startDirectory.empty() ? nullptr : startDirectory.c_str();
    record.lpstrTitle = titleText.empty() ? nullptr : titleText.c_str();
    // No flags: the dialog neither checks that the file exists nor keeps the current directory, which is why
    // the directory is set back below.
    record.Flags = 0;

    BOOL chosen;
    {
        ComApartment apartment;
        chosen = GetOpenFileNameW(&record);
    }

    if (!keepDirectory && !rememberedDirectory.empty()) {
        SetCurrentDirectoryW(rememberedDirectory.c_str());
    }
    if (!chosen) {
        return {};
    }
    // The buffer has one character more than the dialog may fill, so the path always ends at a zero.
    return Utf8(std::wstring_view(fileBuffer.data()));
}

}  // namespace tavix::app
