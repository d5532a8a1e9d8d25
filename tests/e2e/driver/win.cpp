#include "win.h"

#include <commctrl.h>

#include <algorithm>

namespace e2e {

namespace {

constexpr UINT kAnswerTimeoutMs = 5000;

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId)
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty())
        return name;
    if (folder.back() == L'\\' || folder.back() == L'/')
        return folder + name;
    return folder + L"\\" + name;
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool MakeFolder(const std::wstring& path) {
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    if (!ok)
        return std::nullopt;
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        bytes.empty() ||
        (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size());
    return CloseHandle(file) && ok;
}

std::vector<std::wstring> ListFolder(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(JoinPath(folder, L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring CurrentDirectory() {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH * 4, buffer);
    return std::wstring(buffer, length);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256];
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             kAnswerTimeoutMs, &copied))
        return {};
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

bool SetTextOf(HWND window, const std::wstring& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                               kAnswerTimeoutMs, &result) &&
           result == TRUE;
}

std::vector<HWND> DescendantsOf(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindDescendant(HWND parent, int id, const wchar_t* className) {
    for (HWND child : DescendantsOf(parent)) {
        if (GetDlgCtrlID(child) == id && (!className || ClassOf(child) == className))
            return child;
    }
    return nullptr;
}

std::vector<HWND> TopWindowsOf(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

HWND FocusOfThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

bool PostKey(HWND target, UINT virtualKey) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    return PostMessageW(target, WM_KEYDOWN, virtualKey, scan | 1) &&
           PostMessageW(target, WM_KEYUP, virtualKey, scan | 1 | (LPARAM{1} << 30) | (LPARAM{1} << 31));
}

RECT RectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool ProcessAlive(HANDLE process) {
    return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, HANDLE process) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (process && !ProcessAlive(process))
            return condition();
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(20);
    }
}

RemoteMemory::RemoteMemory(HANDLE process, std::size_t size) : process_(process) {
    address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteMemory::~RemoteMemory() {
    if (address_)
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteMemory::Write(const void* data, std::size_t size, std::size_t offset) {
    SIZE_T done = 0;
    return address_ && WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) &&
           done == size;
}

bool RemoteMemory::Read(void* data, std::size_t size, std::size_t offset) const {
    SIZE_T done = 0;
    return address_ && ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) &&
           done == size;
}

std::vector<std::wstring> ListViewItems(HANDLE process, HWND listView) {
    std::vector<std::wstring> items;
    const std::optional<LRESULT> count = Ask(listView, LVM_GETITEMCOUNT);
    if (!count)
        return items;
    constexpr int kChars = 520;
    RemoteMemory memory(process, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    if (!memory.Address())
        return items;
    for (int i = 0; i < static_cast<int>(*count); ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(memory.Address()) + sizeof(LVITEMW));
        item.cchTextMax = kChars;
        wchar_t text[kChars] = {};
        if (!memory.Write(&item, sizeof item) || !memory.Write(text, sizeof text, sizeof(LVITEMW)))
            break;
        const std::optional<LRESULT> length =
            Ask(listView, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(memory.Address()));
        if (!length || !memory.Read(text, sizeof text, sizeof(LVITEMW)))
            break;
        text[kChars - 1] = L'\0';
        items.emplace_back(text);
    }
    return items;
}

PixelCount CountPixels(const RECT& screenRect, COLORREF colour) {
    PixelCount count;
    const int width = screenRect.right - screenRect.left;
    const int height = screenRect.bottom - screenRect.top;
    if (width <= 0 || height <= 0)
        return count;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, screen, screenRect.left, screenRect.top, SRCCOPY)) {
            GdiFlush();
            const auto* pixels = static_cast<const DWORD*>(bits);
            // A 32-bit DIB holds 0x00RRGGBB; COLORREF is 0x00BBGGRR.
            const DWORD wanted =
                (DWORD{GetRValue(colour)} << 16) | (DWORD{GetGValue(colour)} << 8) | DWORD{GetBValue(colour)};
            for (int i = 0; i < width * height; ++i) {
                ++count.total;
                if ((pixels[i] & 0xFFFFFF) == wanted)
                    ++count.matching;
            }
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return count;
}

}  // namespace e2e
