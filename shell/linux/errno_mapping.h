#pragma once

#include <string>

#include "shell/runtime_error.h"

namespace velmora::linux_platform {

// The run-time error that stands for a failed system call on a native path. ENOENT is told apart by its
// parent: a missing file in an existing directory is "File not found", a missing directory "Path not found".
RuntimeError ErrorFromErrno(int error, const std::string& nativePath);

// The run-time error number alone, for an errno whose parent question is already answered.
RuntimeErrorNumber ErrorNumberFromErrno(int error, bool parentDirectoryExists);

}  // namespace velmora::linux_platform
