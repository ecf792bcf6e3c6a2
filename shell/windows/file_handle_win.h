#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "shell/windows/scoped_resources_win.h"

namespace velmora::windows_platform {

// Writes the pieces from the file's position in few large writes; a failure throws RuntimeError for `path`.
void WritePieces(HANDLE file, const std::vector<std::string_view>& pieces, const std::string& path);

// Flushes the file to disk; a failure throws RuntimeError for `path`.
void FlushToDisk(HANDLE file, const std::string& path);

}  // namespace velmora::windows_platform
