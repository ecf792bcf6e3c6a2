#include "shell/runtime_error.h"

namespace velmora {

std::string StandardDescription(RuntimeErrorNumber number)
{
    switch (number) {
    case RuntimeErrorNumber::InvalidProcedureCall: return "Invalid procedure call or argument";
    case RuntimeErrorNumber::OutOfMemory: return "Out of memory";
    case RuntimeErrorNumber::InternalError: return "Internal error";
    case RuntimeErrorNumber::BadFileNameOrNumber: return "Bad file name or number";
    case RuntimeErrorNumber::FileNotFound: return "File not found";
    case RuntimeErrorNumber::BadFileMode: return "Bad file mode";
    case RuntimeErrorNumber::FileAlreadyOpen: return "File already open";
    case RuntimeErrorNumber::DeviceIoError: return "Device I/O error";
    case RuntimeErrorNumber::FileAlreadyExists: return "File already exists";
    case RuntimeErrorNumber::DiskFull: return "Disk full";
    case RuntimeErrorNumber::InputPastEndOfFile: return "Input past end of file";
    case RuntimeErrorNumber::TooManyFiles: return "Too many files";
    case RuntimeErrorNumber::DeviceUnavailable: return "Device unavailable";
    case RuntimeErrorNumber::PermissionDenied: return "Permission denied";
    case RuntimeErrorNumber::DiskNotReady: return "Disk not ready";
    case RuntimeErrorNumber::RenameAcrossDrives: return "Can't rename with different drive";
    case RuntimeErrorNumber::PathFileAccessError: return "Path/File access error";
    case RuntimeErrorNumber::PathNotFound: return "Path not found";
    }
    return "Application-defined or object-defined error";
}

RuntimeError::RuntimeError(RuntimeErrorNumber number, std::string failedPath, std::string detail)
    : std::runtime_error(StandardDescription(number))
    , number_(number)
    , description_(StandardDescription(number))
    , failedPath_(std::move(failedPath))
    , detail_(std::move(detail))
{
}

std::string RuntimeError::reportText() const
{
    std::string text = "Run-time error '" + std::to_string(static_cast<int>(number_)) + "':\r\r" + description_;
    if (!failedPath_.empty())
        text += "\r\r" + failedPath_;
    if (!detail_.empty())
        text += "\r" + detail_;
    return text;
}

}  // namespace velmora
