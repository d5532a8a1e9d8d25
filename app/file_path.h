// File names at the Win32 boundary.
#pragma once

#include <string>

namespace tavix::app {

// The form of `path` that the file functions take at any length: paths of MAX_PATH characters or more get the
// "\\?\" prefix (a UNC path "\\?\UNC\"); shorter ones and ones that have the prefix stay as they are.
std::wstring FileSystemPath(const std::wstring& path);

}  // namespace tavix::app
