#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "shell/runtime_error.h"
#include "shell/windows/current_directory_win.h"
#include "tests/windows/support/win_files.h"

namespace velmora::windows_platform {
namespace {

using windows_testing::ErrorOf;
using windows_testing::TempDirectory;

bool SamePath(const std::string& a, const std::string& b)
{
    return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// Wine has the drives C: (the prefix) and Z: (the Unix root); each keeps its own current directory.
TEST(DriveDirectories, KeepsOneCurrentDirectoryPerDrive)
{
    char saved[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryA(sizeof saved, saved);
    TempDirectory dir;
    ASSERT_EQ(dir.path().substr(0, 2), "C:");
    ASSERT_TRUE(::CreateDirectoryA((dir / "sub").c_str(), nullptr));
    DriveDirectories drives;

    drives.changeDrive("C");
    drives.changeDirectory(dir.path());
    EXPECT_TRUE(SamePath(drives.current(), dir.path())) << drives.current();
    drives.changeDirectory("sub");  // relative to the drive's current directory
    EXPECT_TRUE(SamePath(drives.current(), dir / "sub")) << drives.current();
    drives.changeDirectory("Z:\\tmp");  // another drive: the current drive stays
    EXPECT_TRUE(SamePath(drives.current(), dir / "sub")) << drives.current();
    drives.changeDrive("z");
    EXPECT_TRUE(SamePath(drives.current(), "Z:\\tmp")) << drives.current();
    drives.changeDrive("C:\\whatever");  // only the letter counts
    EXPECT_TRUE(SamePath(drives.current(), dir / "sub")) << drives.current();
    drives.changeDirectory("..");
    EXPECT_TRUE(SamePath(drives.current(), dir.path())) << drives.current();

    struct Case {
        const char* what;
        std::function<void()> action;
        RuntimeErrorNumber number;
    };
    const Case cases[] = {
        {"missing folder", [&] { drives.changeDirectory(dir / "missing"); }, RuntimeErrorNumber::PathNotFound},
        {"a file", [&] { drives.changeDirectory("C:\\windows\\system32\\drivers\\etc\\hosts"); },
         RuntimeErrorNumber::PathNotFound},
        {"empty path", [&] { drives.changeDirectory(""); }, RuntimeErrorNumber::PathNotFound},
        {"no such drive", [&] { drives.changeDrive("Q"); }, RuntimeErrorNumber::DeviceUnavailable},
        {"no letter", [&] { drives.changeDrive("1"); }, RuntimeErrorNumber::DeviceUnavailable},
        {"no drive", [&] { drives.changeDrive(""); }, RuntimeErrorNumber::InvalidProcedureCall},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf(c.action), c.number) << c.what;
    EXPECT_TRUE(SamePath(drives.current(), dir.path())) << "a failed change changes nothing";

    drives.changeDrive("Z");
    EXPECT_TRUE(SamePath(drives.current(), "Z:\\tmp")) << drives.current();
    ::SetCurrentDirectoryA(saved);
}

}  // namespace
}  // namespace velmora::windows_platform
