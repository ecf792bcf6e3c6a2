#pragma once

#include <stdexcept>
#include <string>

namespace velmora {

// The classic run-time error numbers the program reports; their texts are the standard descriptions.
enum class RuntimeErrorNumber : int {
    InvalidProcedureCall = 5,
    OutOfMemory = 7,
    InternalError = 51,
    BadFileNameOrNumber = 52,
    FileNotFound = 53,
    BadFileMode = 54,
    FileAlreadyOpen = 55,
    DeviceIoError = 57,
    FileAlreadyExists = 58,
    DiskFull = 61,
    InputPastEndOfFile = 62,
    TooManyFiles = 67,
    DeviceUnavailable = 68,
    PermissionDenied = 70,
    DiskNotReady = 71,
    RenameAcrossDrives = 74,
    PathFileAccessError = 75,
    PathNotFound = 76,
};

// The standard description of a run-time error number, e.g. 53 gives "File not found".
std::string StandardDescription(RuntimeErrorNumber number);

// A failure of the file system or of a program start. Event handlers do not handle it: it travels up to
// the handler's guard, which shows the run-time error report and ends the program.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(RuntimeErrorNumber number, std::string failedPath, std::string detail = {});

    RuntimeErrorNumber number() const { return number_; }
    const std::string& description() const { return description_; }
    // The path the platform failed on, in its own (native) form; empty when no path was involved.
    const std::string& failedPath() const { return failedPath_; }
    // Extra words from the platform, such as the system's own error text; may be empty.
    const std::string& detail() const { return detail_; }

    // The text of the report box: number, description, then the path and the detail on lines of their own
    // (lines separated by CR, as every prompt of the program).
    std::string reportText() const;

private:
    RuntimeErrorNumber number_;
    std::string description_;
    std::string failedPath_;
    std::string detail_;
};

}  // namespace velmora
