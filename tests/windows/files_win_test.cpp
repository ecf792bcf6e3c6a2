#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "shell/runtime_error.h"
#include "shell/windows/files_win.h"
#include "tests/windows/support/win_temp_directory.h"

namespace velmora::windows_platform {
namespace {

using windows_testing::ErrorOf;

using windows_testing::AttributesOf;
using windows_testing::ReadBytes;
using windows_testing::WinTempDirectory;
using windows_testing::WriteBytes;

// Every name in a folder, hidden ones included, in the order of the system's listing.
std::vector<std::string> EverythingIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found {};
    const HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    SortNamesIgnoringCase(names);
    return names;
}

void WriteWithAttributes(const std::string& path, DWORD attributes)
{
    WriteBytes(path, "x\r\n");
    ::SetFileAttributesA(path.c_str(), attributes);
}

TEST(FindOrdinaryFiles, MatchesLikeTheSystemAndKeepsOnlyOrdinaryVisibleFiles)
{
    WinTempDirectory dir;
    for (const char* name : {"hosts", "hosts.work", "HOSTS.Alpha", "hosts.beta", "hosts.w1rk", "hosts.wrk",
                             "hostsx", "my.hosts", "hosts.[1]"})
        WriteBytes(dir / name, "x\r\n");
    WriteWithAttributes(dir / "hosts.hidden", FILE_ATTRIBUTE_HIDDEN);
    WriteWithAttributes(dir / "hosts.system", FILE_ATTRIBUTE_SYSTEM);
    WriteWithAttributes(dir / "hosts.readonly", FILE_ATTRIBUTE_READONLY);
    WriteWithAttributes(dir / "hosts.archived", FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_TRUE(::CreateDirectoryA((dir / "hosts.folder").c_str(), nullptr));

    struct Case {
        const char* pattern;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        // ".*" takes the name without extension too; the order is by name without regard to case.
        {"Hosts.*", {"hosts", "HOSTS.Alpha", "hosts.archived", "hosts.beta", "hosts.readonly", "hosts.w1rk",
                     "hosts.work", "hosts.wrk", "hosts.[1]"}},
        {"HOSTS", {"hosts"}},  // the stored case comes back
        {"hosts.ALPHA", {"HOSTS.Alpha"}},
        {"hosts.w?rk", {"hosts.w1rk", "hosts.work"}},
        {"*.hosts", {"my.hosts"}},
        {"hosts.[1]", {"hosts.[1]"}},  // brackets are ordinary characters
        {"hosts.hidden", {}},
        {"hosts.system", {}},
        {"hosts.folder", {}},
        {"hosts.readonly", {"hosts.readonly"}},
        {"nothing*", {}},
        {"hosts.bad|name", {}},  // a name the file system rejects finds nothing
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindOrdinaryFiles(dir / c.pattern), c.names) << c.pattern;
    EXPECT_TRUE(FindOrdinaryFiles(dir / "no such folder\\hosts").empty());
}

TEST(FindOrdinaryFiles, NeverListsASymbolicLink)
{
    WinTempDirectory dir;
    WriteBytes(dir / "hosts.target", "x\r\n");
    if (!::CreateSymbolicLinkA((dir / "hosts.link").c_str(), (dir / "hosts.target").c_str(), 0))
        GTEST_SKIP() << "this system makes no symbolic links (error " << ::GetLastError() << ")";
    EXPECT_EQ(FindOrdinaryFiles(dir / "hosts.*"), std::vector<std::string>{"hosts.target"});
    // Not read through, whatever the system then reports.
    EXPECT_NE(ErrorOf([&] { ReadWholeFile(dir / "hosts.link"); }), RuntimeErrorNumber::InternalError);
}

TEST(ReadWholeFile, GivesTheBytesOfOrdinaryFilesOnly)
{
    WinTempDirectory dir;
    const std::string bytes("a\r\nb\rc\nd\0e\xff", 12);
    WriteBytes(dir / "hosts", bytes);
    ASSERT_TRUE(::CreateDirectoryA((dir / "folder").c_str(), nullptr));
    EXPECT_EQ(ReadWholeFile(dir / "hosts"), bytes);

    struct Case {
        std::string path;
        RuntimeErrorNumber number;
    };
    const Case cases[] = {
        {dir / "missing", RuntimeErrorNumber::FileNotFound},
        {dir / "no folder\\hosts", RuntimeErrorNumber::PathNotFound},
        {dir / "folder", RuntimeErrorNumber::PathFileAccessError},
        {dir / "NUL", RuntimeErrorNumber::PathFileAccessError},  // a device, not a file
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf([&] { ReadWholeFile(c.path); }), c.number) << c.path;
}

TEST(ReplaceFileDurably, ReplacesOrCreatesAndLeavesOnlyTheFileBehind)
{
    struct Case {
        const char* name;
        DWORD attributesBefore;  // 0: no file yet
        DWORD attributesAfter;
    };
    const Case cases[] = {
        {"new file", 0, FILE_ATTRIBUTE_ARCHIVE},
        {"ordinary file", FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_ARCHIVE},
        {"hidden file keeps its mark", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE,
         FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
    };
    for (const Case& c : cases) {
        WinTempDirectory dir;
        const std::string hosts = dir / "hosts";
        if (c.attributesBefore)
            WriteWithAttributes(hosts, c.attributesBefore);
        ReplaceFileDurably(hosts, {"127.0.0.1 a\r\n", "", "10.0.0.1 b\r\n"});
        EXPECT_EQ(ReadBytes(hosts), "127.0.0.1 a\r\n10.0.0.1 b\r\n") << c.name;
        EXPECT_EQ(AttributesOf(hosts) & ~FILE_ATTRIBUTE_NORMAL, c.attributesAfter) << c.name;
        EXPECT_EQ(EverythingIn(dir.path()), std::vector<std::string>{"hosts"}) << c.name;
    }
}

TEST(ReplaceFileDurably, RefusesWhatItMayNotReplaceAndKeepsTheOldContent)
{
    struct Case {
        const char* name;
        DWORD attributes;
        RuntimeErrorNumber number;
    };
    const Case cases[] = {
        {"read-only", FILE_ATTRIBUTE_READONLY, RuntimeErrorNumber::PermissionDenied},
        {"read-only and hidden", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, RuntimeErrorNumber::PermissionDenied},
    };
    for (const Case& c : cases) {
        WinTempDirectory dir;
        const std::string hosts = dir / "hosts";
        WriteBytes(hosts, "old\r\n");
        ::SetFileAttributesA(hosts.c_str(), c.attributes);
        const DWORD attributesBefore = AttributesOf(hosts);
        EXPECT_EQ(ErrorOf([&] { ReplaceFileDurably(hosts, {"new\r\n"}); }), c.number) << c.name;
        EXPECT_EQ(ReadBytes(hosts), "old\r\n") << c.name;
        EXPECT_EQ(AttributesOf(hosts), attributesBefore) << c.name;
        EXPECT_EQ(EverythingIn(dir.path()), std::vector<std::string>{"hosts"}) << c.name;
    }

    WinTempDirectory dir;
    ASSERT_TRUE(::CreateDirectoryA((dir / "hosts").c_str(), nullptr));
    EXPECT_EQ(ErrorOf([&] { ReplaceFileDurably(dir / "hosts", {"new\r\n"}); }), RuntimeErrorNumber::PathFileAccessError);
    EXPECT_EQ(ErrorOf([&] { ReplaceFileDurably(dir / "missing\\hosts", {"new\r\n"}); }), RuntimeErrorNumber::PathNotFound);
}

// Another program holds the file open without letting it be replaced, for a while or for good.
TEST(ReplaceFileDurably, WaitsBrieflyForAFileHeldByAnotherProgramAndOtherwiseKeepsItsContent)
{
    struct Case {
        const char* name;
        DWORD heldMilliseconds;  // INFINITE: for longer than the replacement waits
        const char* contentAfter;
        RuntimeErrorNumber number;  // InternalError: no error
    };
    const Case cases[] = {
        {"released soon", 120, "new\r\n", RuntimeErrorNumber::InternalError},
        {"held for good", INFINITE, "old\r\n", RuntimeErrorNumber::PermissionDenied},
    };
    for (const Case& c : cases) {
        WinTempDirectory dir;
        const std::string hosts = dir / "hosts";
        WriteBytes(hosts, "old\r\n");
        const HANDLE holder = ::CreateFileA(hosts.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        std::thread releaser;
        if (c.heldMilliseconds != INFINITE)
            releaser = std::thread([&] {
                ::Sleep(c.heldMilliseconds);
                ::CloseHandle(holder);
            });
        EXPECT_EQ(ErrorOf([&] { ReplaceFileDurably(hosts, {"new\r\n"}); }), c.number) << c.name;
        if (releaser.joinable())
            releaser.join();
        else
            ::CloseHandle(holder);
        EXPECT_EQ(ReadBytes(hosts), c.contentAfter) << c.name;
        EXPECT_EQ(EverythingIn(dir.path()), std::vector<std::string>{"hosts"}) << c.name;
    }
}

TEST(StoredEntryName, NamesWhateverStandsUnderTheNameInItsStoredCase)
{
    WinTempDirectory dir;
    WriteBytes(dir / "Hosts.Work", "x\r\n");
    WriteWithAttributes(dir / "hosts.hidden", FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(::CreateDirectoryA((dir / "hosts.folder").c_str(), nullptr));
    struct Case {
        const char* name;
        std::optional<std::string> stored;
    };
    const Case cases[] = {
        {"hosts.work", "Hosts.Work"},
        {"HOSTS.HIDDEN", "hosts.hidden"},  // hidden from the listing, not from this question
        {"hosts.folder", "hosts.folder"},
        {"hosts.missing", std::nullopt},
        {"hosts.w?rk", std::nullopt},  // no file is named with a wildcard
        {"NUL", "NUL"},                // a device, in every folder
        {"con.txt", "con.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StoredEntryName(dir / c.name), c.stored) << c.name;
}

// The id of a process that has ended, so that what it left behind belongs to no running process.
DWORD EndedProcessId()
{
    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    std::string commandLine = "cmd.exe /c exit 0";
    EXPECT_TRUE(::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                 nullptr, &startup, &process));
    ::WaitForSingleObject(process.hProcess, 10000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return process.dwProcessId;
}

TEST(FinishInterruptedReplacements, PutsTheOldFileBackAndRemovesWhatEndedProcessesLeft)
{
    WinTempDirectory dir;
    const std::string ended = "~velmora-" + std::to_string(EndedProcessId());
    const std::string running = "~velmora-" + std::to_string(::GetCurrentProcessId());
    // Stopped after the old hosts was moved aside: it is the only copy of the old content.
    WriteBytes(dir / (ended + "-0-hosts.bak"), "old\r\n");
    // Stopped after the replacement: the backup is no longer needed.
    WriteBytes(dir / "hosts.work", "new\r\n");
    WriteBytes(dir / (ended + "-1-hosts.work.bak"), "older\r\n");
    WriteWithAttributes(dir / (ended + "-2.tmp"), FILE_ATTRIBUTE_HIDDEN);
    WriteWithAttributes(dir / (running + "-3.tmp"), FILE_ATTRIBUTE_HIDDEN);  // perhaps being written now
    WriteBytes(dir / "~velmora-notes.txt", "x");                             // not one of ours

    FinishInterruptedReplacements(dir.path());

    EXPECT_EQ(ReadBytes(dir / "hosts"), "old\r\n");
    EXPECT_EQ(ReadBytes(dir / "hosts.work"), "new\r\n");
    std::vector<std::string> expected {"hosts", "hosts.work", running + "-3.tmp", "~velmora-notes.txt"};
    SortNamesIgnoringCase(expected);
    EXPECT_EQ(EverythingIn(dir.path()), expected);
}

TEST(SmallFileOperations, AppendCreateAndDeleteRespectTheFilesAttributes)
{
    WinTempDirectory dir;
    const std::string file = dir / "hosts.work";
    AppendToFile(file, "a\r\n");
    AppendToFile(file, "b\r\n");
    EXPECT_EQ(ReadBytes(file), "a\r\nb\r\n");

    EXPECT_TRUE(CreateFileIfAbsent(dir / "hosts.new", "# new\r\n"));
    EXPECT_FALSE(CreateFileIfAbsent(dir / "hosts.new", "other\r\n"));
    EXPECT_EQ(ReadBytes(dir / "hosts.new"), "# new\r\n");

    WriteWithAttributes(dir / "hosts.locked", FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(::CreateDirectoryA((dir / "hosts.folder").c_str(), nullptr));
    struct Case {
        const char* what;
        std::function<void()> action;
        RuntimeErrorNumber number;
    };
    const Case cases[] = {
        {"append to read-only", [&] { AppendToFile(dir / "hosts.locked", "x"); }, RuntimeErrorNumber::PermissionDenied},
        {"append to folder", [&] { AppendToFile(dir / "hosts.folder", "x"); }, RuntimeErrorNumber::PathFileAccessError},
        {"delete read-only", [&] { RemoveOrdinaryFile(dir / "hosts.locked"); }, RuntimeErrorNumber::PathFileAccessError},
        {"delete folder", [&] { RemoveOrdinaryFile(dir / "hosts.folder"); }, RuntimeErrorNumber::PathFileAccessError},
        {"delete missing", [&] { RemoveOrdinaryFile(dir / "hosts.missing"); }, RuntimeErrorNumber::FileNotFound},
        {"create in missing folder", [&] { CreateFileIfAbsent(dir / "none\\x", ""); }, RuntimeErrorNumber::PathNotFound},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf(c.action), c.number) << c.what;
    EXPECT_EQ(ReadBytes(dir / "hosts.locked"), "x\r\n");

    RemoveOrdinaryFile(file);
    EXPECT_EQ(AttributesOf(file), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace velmora::windows_platform
