// Per-drive paths and the current directory over the process's real working directory.

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "shell/linux/drive_mapping.h"
#include "shell/linux/linux_platform.h"
#include "shell/runtime_error.h"
#include "tests/support/error_of.h"
#include "tests/support/temp_directory.h"

namespace velmora::linux_platform {
namespace {

using testing::ErrorOf;
using testing::TempDirectory;
using testing::WriteFile;

// Puts the working directory back at the end, so that one test's chdir cannot confuse the next.
class RestoreWorkingDirectory {
public:
    RestoreWorkingDirectory() : saved_(std::filesystem::current_path()) {}
    ~RestoreWorkingDirectory() { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

// getcwd reports directories with their symlinks resolved.
std::string Real(const std::string& path)
{
    return std::filesystem::canonical(path).string();
}

TEST(DriveMapping, RelativePathsStartAtTheCurrentDirectoryAndARootSeparatorAtTheDrivesRoot)
{
    const RestoreWorkingDirectory restore;
    TempDirectory drive;
    TempDirectory outside;
    std::filesystem::create_directories(drive / "Work/SUB");
    const DriveMapping mapping({drive.path(), std::nullopt});
    const std::string root = drive.path();  // on drive C: paths are built from the configured root

    ASSERT_EQ(::chdir((drive / "Work").c_str()), 0);
    const std::pair<std::string, std::string> onDriveC[] = {
        {"name", root + "/Work/name"},
        {"C:name", root + "/Work/name"},
        {"sub\\x", root + "/Work/SUB/x"},
        {"", root + "/Work"},
        {"C:", root + "/Work"},
        {"..\\..\\..\\x", root + "/x"},  // never above the drive's root
        {"\\name", drive / "name"},
        {"C:\\Work\\name", drive / "Work/name"},
    };
    for (const auto& [path, expected] : onDriveC)
        EXPECT_EQ(mapping.toNative(path), expected) << path;

    // Outside the drive the working directory has only its native name, and relative paths go from there.
    ASSERT_EQ(::chdir(outside.path().c_str()), 0);
    const std::string here = Real(outside.path());
    const std::pair<std::string, std::string> offDrive[] = {
        {"name", here + "/name"},
        {"C:name", here + "/name"},
        {"..\\y", std::filesystem::path(here).parent_path().string() + "/y"},
        {"\\name", drive / "name"},
    };
    for (const auto& [path, expected] : offDrive)
        EXPECT_EQ(mapping.toNative(path), expected) << path;
}

TEST(DriveMapping, ProgramPathsOfNativePathsCarryTheDriveLetterWhereTheyHaveOne)
{
    TempDirectory data;
    TempDirectory etc;
    TempDirectory links;
    const std::string driveC = data / "drive_c";
    std::filesystem::create_directories(driveC + "/Programs");
    std::filesystem::create_directory_symlink(driveC, links / "c-link");

    const DriveMapping mapping({driveC, etc.path()});
    const std::pair<std::string, std::string> cases[] = {
        {driveC, "C:\\"},
        {driveC + "/", "C:\\"},
        {driveC + "/Programs/Web Browser/browser", "C:\\Programs\\Web Browser\\browser"},
        {etc.path(), "C:\\Windows\\System32\\drivers\\etc"},
        {etc / "hosts.work", "C:\\Windows\\System32\\drivers\\etc\\hosts.work"},
        {driveC + "x/y", driveC + "x/y"},  // a sibling that merely begins like the root
        {"/usr/bin/browser", "/usr/bin/browser"},
    };
    for (const auto& [native, expected] : cases) {
        EXPECT_EQ(mapping.toProgramPath(native), expected) << native;
        EXPECT_EQ(mapping.toNative(expected), native.back() == '/' ? driveC : native) << native;
    }

    // A root configured through a symlink is recognised in the resolved form the system reports.
    const DriveMapping linked({links / "c-link", std::nullopt});
    EXPECT_EQ(linked.toProgramPath(Real(driveC) + "/Programs"), "C:\\Programs");
}

class LinuxCurrentDirectory : public ::testing::Test {
protected:
    LinuxCurrentDirectory()
    {
        std::filesystem::create_directories(drive_ / "Work/Deeper");
    }

    RestoreWorkingDirectory restore_;
    TempDirectory drive_;
    int argc_ = 1;
    char programName_[8] = "velmora";
    char* argv_[2] = {programName_, nullptr};
    LinuxPlatform platform_{argc_, argv_, DriveMapping({drive_.path(), std::nullopt})};
};

TEST_F(LinuxCurrentDirectory, IsTheWorkingDirectoryWithItsDriveLetterAndChangesIt)
{
    ASSERT_EQ(::chdir((drive_ / "Work").c_str()), 0);
    EXPECT_EQ(platform_.currentDirectory(), "C:\\Work");

    const std::pair<std::string, std::string> changes[] = {
        {"DEEPER", "C:\\Work\\Deeper"},  // relative, without regard to case
        {"\\", "C:\\"},
        {"C:\\work", "C:\\Work"},
        {"C:", "C:\\Work"},             // the drive alone keeps its directory
        {"/tmp", Real("/tmp")},         // off the drive: the native path
        {"C:\\Work\\Deeper", "C:\\Work\\Deeper"},
    };
    for (const auto& [path, expected] : changes) {
        platform_.changeDirectory(path);
        EXPECT_EQ(platform_.currentDirectory(), expected) << path;
    }
}

TEST_F(LinuxCurrentDirectory, RefusesMissingDirectoriesAndDrivesOtherThanC)
{
    ASSERT_EQ(::chdir((drive_ / "Work").c_str()), 0);
    WriteFile(drive_ / "Work/file", "x");
    EXPECT_EQ(ErrorOf([&] { platform_.changeDirectory("C:\\Missing"); }), RuntimeErrorNumber::PathNotFound);
    EXPECT_EQ(ErrorOf([&] { platform_.changeDirectory("file"); }), RuntimeErrorNumber::PathNotFound);
    EXPECT_EQ(ErrorOf([&] { platform_.changeDirectory("D:\\"); }), RuntimeErrorNumber::PathNotFound);
    EXPECT_EQ(platform_.currentDirectory(), "C:\\Work");

    platform_.changeDrive("C");
    platform_.changeDrive("c:\\Work");
    EXPECT_EQ(ErrorOf([&] { platform_.changeDrive("D"); }), RuntimeErrorNumber::DeviceUnavailable);
    EXPECT_EQ(ErrorOf([&] { platform_.changeDrive("/"); }), RuntimeErrorNumber::DeviceUnavailable);
    EXPECT_EQ(ErrorOf([&] { platform_.changeDrive(""); }), RuntimeErrorNumber::InvalidProcedureCall);
    EXPECT_EQ(platform_.currentDirectory(), "C:\\Work");
}

}  // namespace
}  // namespace velmora::linux_platform
