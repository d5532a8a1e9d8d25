// The generate command: every entry of the number list becomes a card in "Tavix软件_生成.vcf" beside the program.
#pragma once

#include <string>

namespace tavix::app {

// The task's routine is declared in app.h (GenerateVcfFile).

// The name of the output file in the program's directory.
inline constexpr wchar_t kOutputFileName[] = L"Tavix软件_生成.vcf";

// The form of `path` that the file functions take at any length: paths of MAX_PATH characters or more get the
// "\\?\" prefix (a UNC path "\\?\UNC\"); shorter ones and ones that have the prefix stay as they are.
std::wstring FileSystemPath(const std::wstring& path);

}  // namespace tavix::app
