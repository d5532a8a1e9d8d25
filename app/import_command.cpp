#include "import_command.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <new>
#include <utility>

#include "app.h"
#include "file_path.h"
#include "number_list.h"
#include "open_file_dialog.h"
#include "text.h"
#include "win_text.h"

namespace tavix::app {

namespace {

constexpr char kDialogTitle[] = "请选择文本";
constexpr char kDialogFilter[] = "文本文件|*.txt";

// The text is decoded in pieces of about this size, so that the wide form never exists for the whole file.
constexpr std::size_t kDecodeChunkBytes = std::size_t{1} << 20;

// Which bytes start a two-byte character in the code page; all false for a single-byte code page.
using LeadByteTable = std::array<bool, 256>;

LeadByteTable LeadBytesOf(UINT codePage) {
    LeadByteTable table{};
    CPINFO info{};
    if (GetCPInfo(codePage, &info) && info.MaxCharSize > 1) {
        for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
            for (int b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) {
                table[static_cast<unsigned char>(b)] = true;
            }
        }
    }
    return table;
}

// The end of the next piece: the first character boundary at or after kDecodeChunkBytes, found by the same walk
// the converter makes, so that no two-byte character is split between pieces.
std::size_t PieceEnd(std::string_view bytes, const LeadByteTable& leadBytes) {
    if (bytes.size() <= kDecodeChunkBytes) {
        return bytes.size();
    }
    std::size_t i = 0;
    while (i < kDecodeChunkBytes) {
        i += leadBytes[static_cast<unsigned char>(bytes[i])] ? 2 : 1;
    }
    return std::min(i, bytes.size());
}

// One call for the whole piece; false when the code page rejects any byte of it.
bool ConvertPiece(UINT codePage, DWORD flags, std::string_view piece, std::wstring& wide) {
    const int length = static_cast<int>(piece.size());
    const int needed = MultiByteToWideChar(codePage, flags, piece.data(), length, nullptr, 0);
    if (needed <= 0) {
        return false;
    }
    wide.resize(static_cast<std::size_t>(needed));
    return MultiByteToWideChar(codePage, flags, piece.data(), length, wide.data(), needed) == needed;
}

// The slow road for a piece that holds undefined bytes: character by character, each undefined one as U+FFFD.
void AppendCharacterWise(UINT codePage,
                         DWORD flags,
                         const LeadByteTable& leadBytes,
                         std::string_view piece,
                         std::string& out) {
    std::size_t i = 0;
    while (i < piece.size()) {
        const unsigned char b = static_cast<unsigned char>(piece[i]);
        // Every ANSI code page of Windows keeps ASCII as it is.
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        const std::size_t length = (leadBytes[b] && i + 1 < piece.size()) ? 2 : 1;
        wchar_t wide[4];
        const int produced = MultiByteToWideChar(codePage, flags, piece.data() + i, static_cast<int>(length), wide, 4);
        if (produced > 0) {
            out += Utf8(std::wstring_view(wide, static_cast<std::size_t>(produced)));
            i += length;
        } else {
            // Only the first byte is given up: the second may begin a character of its own.
            AppendCodePoint(out, 0xFFFD);
            ++i;
        }
    }
}

}  // namespace

std::string DecodeAnsiText(std::string_view bytes) {
    const UINT codePage = GetACP();
    if (codePage == CP_UTF8) {
        return SanitizeUtf8(bytes);
    }
    // A few code pages refuse the strictness flag; they then convert every byte to something.
    DWORD flags = MB_ERR_INVALID_CHARS;
    if (MultiByteToWideChar(codePage, flags, "a", 1, nullptr, 0) == 0) {
        flags = 0;
    }
    const LeadByteTable leadBytes = LeadBytesOf(codePage);

    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    std::wstring wide;
    while (!bytes.empty()) {
        const std::string_view piece = bytes.substr(0, PieceEnd(bytes, leadBytes));
        if (ConvertPiece(codePage, flags, piece, wide)) {
            out += Utf8(wide);
        } else {
            AppendCharacterWise(codePage, flags, leadBytes, piece, out);
        }
        bytes.remove_prefix(piece.size());
    }
    return out;
}

std::string ReadWholeFile(const std::string& path) {
    const HANDLE file = CreateFileW(FileSystemPath(Wide(path)).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string content;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
        static_cast<unsigned long long>(size.QuadPart) <= kMaxImportBytes) {
        bool reserved = true;
        try {
            content.resize(static_cast<std::size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            // A buffer that cannot be had is an unreadable file, not a fatal fault.
            reserved = false;
        }
        DWORD received = 0;
        if (reserved && ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &received, nullptr)) {
            content.resize(received);
        } else {
            content = std::string();
        }
    }
    CloseHandle(file);
    return content;
}

void ImportNumberFile() {
    Process& process = TheProcess();
    const HWND owner = process.mainWindow;
    const std::string path = ShowOpenFileDialog(owner, {}, kDialogTitle, kDialogFilter);
    if (path.empty() || process.ending.load()) {
        return;
    }
    NumberLines lines;
    try {
        // The raw bytes go before the list is replaced, so the old list, the new one and the bytes are never all
        // held at once.
        const std::string bytes = ReadWholeFile(path);
        lines = ParseNumberLines(bytes, DecodeAnsiText);
    } catch (const std::bad_alloc&) {
        // A file whose lines do not fit in memory (say, hundreds of megabytes of empty lines in a 32-bit process)
        // is a file that could not be read, not a reason to stop the program.
        lines = NumberLines();
    }
    process.numbers.Replace(std::move(lines));
    // The window thread writes the new count into the button: no task touches a control.
    PostMessageW(owner, kMsgListReplaced, 0, 0);
}

}  // namespace tavix::app
