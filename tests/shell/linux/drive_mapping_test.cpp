#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

#include "shell/linux/drive_mapping.h"
#include "shell/runtime_error.h"
#include "tests/support/temp_directory.h"

namespace velmora::linux_platform {
namespace {

using testing::TempDirectory;
using testing::WriteFile;

TEST(DriveMapping, SandboxDriveMatchesExistingComponentsWithoutRegardToCase)
{
    TempDirectory drive;
    ::mkdir((drive / "Windows").c_str(), 0755);
    ::mkdir((drive / "Windows/System32").c_str(), 0755);
    WriteFile(drive / "Windows/System32/Hosts.Work", "x");
    const DriveMapping mapping({drive.path(), std::nullopt});

    const std::pair<std::string, std::string> cases[] = {
        {"C:\\WINDOWS\\system32\\hosts.work", drive / "Windows/System32/Hosts.Work"},
        {"c:\\windows\\System32\\New File", drive / "Windows/System32/New File"},
        {"C:\\Windows\\Missing\\Deeper", drive / "Windows/Missing/Deeper"},
        {"C:\\..\\..\\Windows\\.\\x", drive / "Windows/x"},  // never above the root
        {"C:/Windows/System32/", drive / "Windows/System32"},
        {"/already/native", "/already/native"},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(mapping.toNative(path), expected) << path;
}

TEST(DriveMapping, PrefersTheExactSpellingWhenSeveralExist)
{
    TempDirectory drive;
    WriteFile(drive / "HOSTS", "upper");
    WriteFile(drive / "hosts", "lower");
    WriteFile(drive / "Other", "x");
    const DriveMapping mapping({drive.path(), std::nullopt});
    EXPECT_EQ(mapping.toNative("C:\\hosts"), drive / "hosts");
    EXPECT_EQ(mapping.toNative("C:\\HOSTS"), drive / "HOSTS");
    EXPECT_EQ(mapping.toNative("C:\\Hosts"), drive / "HOSTS");  // sorted order decides among the others
}

TEST(DriveMapping, WithoutSandboxTheHostsDirectoryIsEtcAndTheRestOfCIsCreatedOnDemand)
{
    TempDirectory data;
    TempDirectory etc;
    WriteFile(etc / "hosts", "x");
    const std::string driveC = data / "velmora/drive_c";
    const DriveMapping mapping({driveC, etc.path()});

    EXPECT_EQ(mapping.toNative("C:\\Windows\\System32\\drivers\\etc\\HOSTS"), etc / "hosts");
    EXPECT_EQ(mapping.toNative("C:\\windows\\system32\\DRIVERS\\ETC\\"), etc.path());
    EXPECT_EQ(mapping.toNative("C:\\Windows\\System32\\drivers\\other"), driveC + "/Windows/System32/drivers/other");

    struct stat status {};
    EXPECT_NE(::stat(driveC.c_str(), &status), 0);
    EXPECT_EQ(mapping.toNative("C:\\DelMEX00001.html", true), driveC + "/DelMEX00001.html");
    EXPECT_EQ(::stat(driveC.c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
}

TEST(DriveMapping, OtherDrivesDoNotExist)
{
    const DriveMapping mapping({"/tmp", std::nullopt});
    try {
        mapping.toNative("D:\\x");
        FAIL() << "D: should not exist";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), RuntimeErrorNumber::PathNotFound);
    }
}

TEST(DriveMapping, EnvironmentChoosesSandboxOrDataDirectory)
{
    using testing::ScopedEnvironmentVariable;
    {
        ScopedEnvironmentVariable sandbox("VELMORA_DRIVE_C", "/sandbox");
        EXPECT_EQ(DriveMapping::fromEnvironment().roots().driveC, "/sandbox");
        EXPECT_FALSE(DriveMapping::fromEnvironment().roots().etc);
    }
    ScopedEnvironmentVariable noSandbox("VELMORA_DRIVE_C", nullptr);
    ScopedEnvironmentVariable home("HOME", "/home/me");
    {
        ScopedEnvironmentVariable data("XDG_DATA_HOME", "/data");
        EXPECT_EQ(DriveMapping::fromEnvironment().roots().driveC, "/data/velmora/drive_c");
        EXPECT_EQ(DriveMapping::fromEnvironment().roots().etc, "/etc");
    }
    ScopedEnvironmentVariable noData("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(DriveMapping::fromEnvironment().roots().driveC, "/home/me/.local/share/velmora/drive_c");
}

TEST(DriveMapping, ASandboxVariableThatNamesNoAbsoluteFolderIsRefusedNeverTheRealSystem)
{
    for (const char* value : {"", "sandbox", "./drive", "~/drive"}) {
        testing::ScopedEnvironmentVariable sandbox("VELMORA_DRIVE_C", value);
        EXPECT_THROW(DriveMapping::fromEnvironment(), DriveSettingRefused) << "'" << value << "'";
    }
}

}  // namespace
}  // namespace velmora::linux_platform
