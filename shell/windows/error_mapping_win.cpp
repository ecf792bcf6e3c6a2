#include "shell/windows/error_mapping_win.h"

#include <windows.h>

#include "shell/windows/scoped_resources_win.h"

namespace velmora::windows_platform {

namespace {

// Codes that mingw-w64's headers do not name.
constexpr DWORD kElevationRequired = 740;
constexpr DWORD kDiskQuotaExceeded = 1295;

struct Mapping {
    DWORD code;
    RuntimeErrorNumber number;
};

constexpr Mapping kMappings[] = {
    {ERROR_FILE_NOT_FOUND, RuntimeErrorNumber::FileNotFound},
    {ERROR_NO_MORE_FILES, RuntimeErrorNumber::FileNotFound},
    {ERROR_PATH_NOT_FOUND, RuntimeErrorNumber::PathNotFound},
    {ERROR_DIRECTORY, RuntimeErrorNumber::PathNotFound},
    {ERROR_BAD_NETPATH, RuntimeErrorNumber::PathNotFound},
    {ERROR_BAD_NET_NAME, RuntimeErrorNumber::PathNotFound},
    {ERROR_TOO_MANY_OPEN_FILES, RuntimeErrorNumber::TooManyFiles},
    {ERROR_ACCESS_DENIED, RuntimeErrorNumber::PermissionDenied},
    {ERROR_SHARING_VIOLATION, RuntimeErrorNumber::PermissionDenied},
    {ERROR_LOCK_VIOLATION, RuntimeErrorNumber::PermissionDenied},
    {ERROR_WRITE_PROTECT, RuntimeErrorNumber::PermissionDenied},
    {ERROR_DRIVE_LOCKED, RuntimeErrorNumber::PermissionDenied},
    {ERROR_USER_MAPPED_FILE, RuntimeErrorNumber::PermissionDenied},
    {ERROR_PRIVILEGE_NOT_HELD, RuntimeErrorNumber::PermissionDenied},
    {ERROR_UNABLE_TO_REMOVE_REPLACED, RuntimeErrorNumber::PermissionDenied},  // another program holds it
    {kElevationRequired, RuntimeErrorNumber::PermissionDenied},
    {ERROR_INVALID_HANDLE, RuntimeErrorNumber::BadFileNameOrNumber},
    {ERROR_INVALID_NAME, RuntimeErrorNumber::BadFileNameOrNumber},
    {ERROR_BAD_PATHNAME, RuntimeErrorNumber::BadFileNameOrNumber},
    {ERROR_FILENAME_EXCED_RANGE, RuntimeErrorNumber::BadFileNameOrNumber},
    {ERROR_NOT_ENOUGH_MEMORY, RuntimeErrorNumber::OutOfMemory},
    {ERROR_OUTOFMEMORY, RuntimeErrorNumber::OutOfMemory},
    {ERROR_NOT_READY, RuntimeErrorNumber::DiskNotReady},
    {ERROR_CRC, RuntimeErrorNumber::DeviceIoError},
    {ERROR_SEEK, RuntimeErrorNumber::DeviceIoError},
    {ERROR_WRITE_FAULT, RuntimeErrorNumber::DeviceIoError},
    {ERROR_READ_FAULT, RuntimeErrorNumber::DeviceIoError},
    {ERROR_GEN_FAILURE, RuntimeErrorNumber::DeviceIoError},
    {ERROR_IO_DEVICE, RuntimeErrorNumber::DeviceIoError},
    {ERROR_HANDLE_DISK_FULL, RuntimeErrorNumber::DiskFull},
    {ERROR_DISK_FULL, RuntimeErrorNumber::DiskFull},
    {kDiskQuotaExceeded, RuntimeErrorNumber::DiskFull},
    {ERROR_HANDLE_EOF, RuntimeErrorNumber::InputPastEndOfFile},
    {ERROR_NOT_SAME_DEVICE, RuntimeErrorNumber::RenameAcrossDrives},
    {ERROR_FILE_EXISTS, RuntimeErrorNumber::FileAlreadyExists},
    {ERROR_ALREADY_EXISTS, RuntimeErrorNumber::FileAlreadyExists},
    {ERROR_INVALID_DRIVE, RuntimeErrorNumber::DeviceUnavailable},
    {ERROR_BAD_UNIT, RuntimeErrorNumber::DeviceUnavailable},
    {ERROR_DEV_NOT_EXIST, RuntimeErrorNumber::DeviceUnavailable},
    {ERROR_NETNAME_DELETED, RuntimeErrorNumber::DeviceUnavailable},
    {ERROR_INVALID_PARAMETER, RuntimeErrorNumber::InvalidProcedureCall},
    {ERROR_BAD_EXE_FORMAT, RuntimeErrorNumber::InvalidProcedureCall},
};

}  // namespace

RuntimeErrorNumber ErrorNumberFromWin32(std::uint32_t code)
{
    for (const Mapping& mapping : kMappings)
        if (mapping.code == code)
            return mapping.number;
    return RuntimeErrorNumber::PathFileAccessError;
}

std::string SystemErrorText(std::uint32_t code)
{
    char* buffer = nullptr;
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    const ScopedLocalMemory owned(buffer);
    std::string text = length && buffer ? std::string(buffer, length) : std::string();
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

RuntimeError ErrorFromWin32(std::uint32_t code, const std::string& path)
{
    std::string detail = SystemErrorText(code);
    detail += (detail.empty() ? "" : " ") + std::string("(Windows error ") + std::to_string(code) + ")";
    return RuntimeError(ErrorNumberFromWin32(code), path, detail);
}

RuntimeError LastError(const std::string& path)
{
    return ErrorFromWin32(::GetLastError(), path);
}

}  // namespace velmora::windows_platform
