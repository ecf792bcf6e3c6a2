#include <gtest/gtest.h>

#include <windows.h>

#include "shell/windows/error_mapping_win.h"

namespace velmora::windows_platform {
namespace {

// What the platform contract cannot bring about in a temporary folder (a missing file or folder, a folder in
// place of a file are there).
TEST(ErrorNumberFromWin32, MapsTheSystemsCodesToTheRunTimeNumbers)
{
    struct Case {
        DWORD code;
        RuntimeErrorNumber number;
    };
    const Case cases[] = {
        {ERROR_ACCESS_DENIED, RuntimeErrorNumber::PermissionDenied},
        {ERROR_SHARING_VIOLATION, RuntimeErrorNumber::PermissionDenied},  // a virus scanner holds the file
        {ERROR_LOCK_VIOLATION, RuntimeErrorNumber::PermissionDenied},
        {ERROR_UNABLE_TO_REMOVE_REPLACED, RuntimeErrorNumber::PermissionDenied},
        {ERROR_DISK_FULL, RuntimeErrorNumber::DiskFull},
        {ERROR_FILE_EXISTS, RuntimeErrorNumber::FileAlreadyExists},
        {ERROR_INVALID_NAME, RuntimeErrorNumber::BadFileNameOrNumber},
        {ERROR_INVALID_DRIVE, RuntimeErrorNumber::DeviceUnavailable},
        {ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, RuntimeErrorNumber::PathFileAccessError},
        {ERROR_CANT_RESOLVE_FILENAME, RuntimeErrorNumber::PathFileAccessError},  // anything else
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorNumberFromWin32(c.code), c.number) << "Windows error " << c.code;
}

TEST(ErrorFromWin32, CarriesThePathAndTheSystemsOwnDescription)
{
    const RuntimeError error = ErrorFromWin32(ERROR_ACCESS_DENIED, "C:\\x\\hosts");
    EXPECT_EQ(error.number(), RuntimeErrorNumber::PermissionDenied);
    EXPECT_EQ(error.description(), "Permission denied");
    EXPECT_EQ(error.failedPath(), "C:\\x\\hosts");
    const std::string systemText = SystemErrorText(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(systemText.empty());
    EXPECT_NE(systemText.back(), '\n');
    EXPECT_EQ(error.detail(), systemText + " (Windows error 5)");
}

}  // namespace
}  // namespace velmora::windows_platform
