// The generate command: every entry of the number list becomes a card in "Tavix软件_生成.vcf" beside the program.
#pragma once

#include <string>

namespace tavix::app {

// The task's routine is declared in app.h (GenerateVcfFile).

// The name of the output file in the program's directory.
inline constexpr wchar_t kOutputFileName[] = L"Tavix软件_生成.vcf";

}  // namespace tavix::app
