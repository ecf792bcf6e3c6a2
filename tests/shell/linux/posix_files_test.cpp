#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/linux/errno_mapping.h"
#include "shell/linux/posix_files.h"
#include "shell/runtime_error.h"
#include "tests/support/error_of.h"
#include "tests/support/temp_directory.h"

namespace velmora::linux_platform {
namespace {

using testing::ErrorOf;
using testing::ReadFile;
using testing::TempDirectory;
using testing::WriteFile;

std::vector<std::string> NamesIn(const std::string& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ReplaceFileAtomically, KeepsModeAndLeavesNoTemporaryBehind)
{
    TempDirectory dir;
    WriteFile(dir / "hosts", "old");
    ::chmod((dir / "hosts").c_str(), 0640);
    ReplaceFileAtomically(dir / "hosts", {"new\r\n"});
    EXPECT_EQ(ReadFile(dir / "hosts"), "new\r\n");
    struct stat status {};
    ASSERT_EQ(::stat((dir / "hosts").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"hosts"});

    // A created file is never writable for others, whatever the umask allows.
    for (const auto& [mask, expected] : {std::pair<mode_t, mode_t>{0000, 0664}, {0022, 0644}, {0077, 0600}}) {
        const mode_t old = ::umask(mask);
        ReplaceFileAtomically(dir / "hosts.new", {""});
        AppendToFile(dir / "hosts.appended", "");
        ::umask(old);
        EXPECT_EQ(::stat((dir / "hosts.new").c_str(), &status) == 0 ? status.st_mode & 07777 : 0, expected) << mask;
        EXPECT_EQ(::stat((dir / "hosts.appended").c_str(), &status) == 0 ? status.st_mode & 07777 : 0, expected) << mask;
        ::unlink((dir / "hosts.new").c_str());
        ::unlink((dir / "hosts.appended").c_str());
    }
}

// A folder in place of the file, a missing folder: the platform contract.
TEST(ReplaceFileAtomically, RefusesReadOnlyFilesAndSymlinksAndKeepsThem)
{
    TempDirectory dir;
    WriteFile(dir / "readonly", "keep");
    ::chmod((dir / "readonly").c_str(), 0444);
    WriteFile(dir / "target", "secret");
    ASSERT_EQ(::symlink((dir / "target").c_str(), (dir / "link").c_str()), 0);

    EXPECT_EQ(ErrorOf([&] { ReplaceFileAtomically(dir / "readonly", {"x"}); }), RuntimeErrorNumber::PermissionDenied);
    EXPECT_EQ(ReadFile(dir / "readonly"), "keep");
    EXPECT_EQ(ErrorOf([&] { ReplaceFileAtomically(dir / "link", {"x"}); }), RuntimeErrorNumber::PathFileAccessError);
    EXPECT_EQ(ReadFile(dir / "target"), "secret");
    EXPECT_EQ(NamesIn(dir.path()), (std::vector<std::string> {"link", "readonly", "target"}));
}

TEST(ReplaceFileAtomically, AnUnwritableDirectoryIsPermissionDeniedUnlessTheFileItselfIsWritable)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into any directory";
    TempDirectory dir;
    ::mkdir((dir / "locked").c_str(), 0755);
    WriteFile(dir / "locked/hosts", "keep");
    WriteFile(dir / "locked/hosts.new", "keep");
    ::chmod((dir / "locked/hosts").c_str(), 0444);
    ::chmod((dir / "locked").c_str(), 0555);
    EXPECT_EQ(ErrorOf([&] { ReplaceFileAtomically(dir / "locked/hosts", {"x"}); }), RuntimeErrorNumber::PermissionDenied);
    EXPECT_EQ(ErrorOf([&] { ReplaceFileAtomically(dir / "locked/other", {"x"}); }), RuntimeErrorNumber::PermissionDenied);
    EXPECT_EQ(ReadFile(dir / "locked/hosts"), "keep");
    // A writable file in it is rewritten in place.
    ReplaceFileAtomically(dir / "locked/hosts.new", {"x"});
    EXPECT_EQ(ReadFile(dir / "locked/hosts.new"), "x");
    EXPECT_EQ(NamesIn(dir / "locked"), (std::vector<std::string>{"hosts", "hosts.new"}));
}

// A missing file or folder, a folder: the platform contract.
TEST(ReadWholeFile, ReadsBytesAndRefusesASymlink)
{
    TempDirectory dir;
    const std::string bytes("a\0\r\xff\n", 5);
    WriteFile(dir / "file", bytes);
    EXPECT_EQ(ReadWholeFile(dir / "file"), bytes);
    ASSERT_EQ(::symlink((dir / "file").c_str(), (dir / "link").c_str()), 0);
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(dir / "link"); }), RuntimeErrorNumber::PathFileAccessError);
}

// Appending, creating and deleting as such: the platform contract.
TEST(OtherFileOperations, AppendAndDeleteRespectTheReadOnlyMark)
{
    TempDirectory dir;
    WriteFile(dir / "log", "a\r\nb\r\n");
    ::chmod((dir / "log").c_str(), 0444);
    EXPECT_EQ(ErrorOf([&] { AppendToFile(dir / "log", "c"); }), RuntimeErrorNumber::PermissionDenied);
    EXPECT_EQ(ErrorOf([&] { RemoveOrdinaryFile(dir / "log"); }), RuntimeErrorNumber::PathFileAccessError);
    EXPECT_EQ(ReadFile(dir / "log"), "a\r\nb\r\n");
}

// What the platform contract cannot bring about on a temporary folder (a missing file or folder, a folder
// in place of a file are there).
TEST(ErrnoMapping, GivesTheClassicRunTimeErrorNumbers)
{
    const std::pair<int, RuntimeErrorNumber> cases[] = {
        {ENOTDIR, RuntimeErrorNumber::PathNotFound},     {EACCES, RuntimeErrorNumber::PermissionDenied},
        {EPERM, RuntimeErrorNumber::PermissionDenied},   {EROFS, RuntimeErrorNumber::PermissionDenied},
        {EBUSY, RuntimeErrorNumber::PermissionDenied},   {EEXIST, RuntimeErrorNumber::FileAlreadyExists},
        {ENOSPC, RuntimeErrorNumber::DiskFull},          {EDQUOT, RuntimeErrorNumber::DiskFull},
        {EMFILE, RuntimeErrorNumber::TooManyFiles},      {EIO, RuntimeErrorNumber::DeviceIoError},
        {ENXIO, RuntimeErrorNumber::DeviceUnavailable},  {ENOMEDIUM, RuntimeErrorNumber::DiskNotReady},
        {EXDEV, RuntimeErrorNumber::RenameAcrossDrives}, {ENAMETOOLONG, RuntimeErrorNumber::BadFileNameOrNumber},
        {EBADF, RuntimeErrorNumber::BadFileMode},        {EINVAL, RuntimeErrorNumber::InvalidProcedureCall},
        {ENOMEM, RuntimeErrorNumber::OutOfMemory},       {ELOOP, RuntimeErrorNumber::PathFileAccessError},
    };
    for (const auto& [error, number] : cases)
        EXPECT_EQ(ErrorNumberFromErrno(error, true), number) << error;

    const RuntimeError report = ErrorFromErrno(ENOSPC, "/etc/hosts");
    EXPECT_EQ(report.reportText().substr(0, 31), "Run-time error '61':\r\rDisk full");
    EXPECT_NE(report.reportText().find("/etc/hosts"), std::string::npos);
}

}  // namespace
}  // namespace velmora::linux_platform
