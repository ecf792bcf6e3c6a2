#pragma once

#include <cstdint>
#include <string>

#include "shell/runtime_error.h"

namespace velmora::windows_platform {

// The run-time error number that stands for a Win32 error code (GetLastError): missing file 53, missing
// path 76, refused access and sharing or lock conflicts 70, full disk 61, and so on; 75 for anything else.
RuntimeErrorNumber ErrorNumberFromWin32(std::uint32_t code);

// The system's own description of a Win32 error code (FormatMessageA), without its closing line break.
std::string SystemErrorText(std::uint32_t code);

// The run-time error for a failed Win32 call on a path: the mapped number, the path, and as detail the
// system's description followed by the code, such as "Access denied. (Windows error 5)".
RuntimeError ErrorFromWin32(std::uint32_t code, const std::string& path);

// The same for the calling thread's last error (GetLastError), read at once.
RuntimeError LastError(const std::string& path);

}  // namespace velmora::windows_platform
