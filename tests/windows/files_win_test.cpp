#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "hosts_store/variant_selection.h"
#include "shell/platform.h"
#include "shell/rewrite_journal.h"
#include "shell/runtime_error.h"
#include "shell/windows/files_win.h"
#include "shell/windows/windows_platform.h"
#include "tests/windows/support/file_holder.h"
#include "tests/windows/support/win_files.h"

namespace velmora::windows_platform {
namespace {

using windows_testing::ErrorOf;
using windows_testing::FileHolder;

using windows_testing::AttributesOf;
using windows_testing::KeptCopiesOfHosts;
using windows_testing::ReadBytes;
using windows_testing::TempDirectory;
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
    std::sort(names.begin(), names.end());
    return names;
}

// The file's index on its volume, which a replacement as a whole changes and a rewrite in place keeps.
std::uint64_t FileIndexOf(const std::string& path)
{
    const HANDLE file = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION information {};
    ::GetFileInformationByHandle(file, &information);
    ::CloseHandle(file);
    return (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
}

// The names in byte order, for comparisons that are not about the listing's order.
std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

void WriteWithAttributes(const std::string& path, DWORD attributes)
{
    WriteBytes(path, "x\r\n");
    ::SetFileAttributesA(path.c_str(), attributes);
}

TEST(FindOrdinaryFiles, MatchesLikeTheSystemAndKeepsOnlyOrdinaryVisibleFiles)
{
    TempDirectory dir;
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
        // ".*" takes the name without extension too.
        {"Hosts.*",
         {"hosts", "HOSTS.Alpha", "hosts.archived", "hosts.beta", "hosts.readonly", "hosts.w1rk", "hosts.work",
          "hosts.wrk", "hosts.[1]"}},
        {"hosts.w?rk", {"hosts.w1rk", "hosts.work"}},
        {"hosts.[1]", {"hosts.[1]"}},  // brackets are ordinary characters
        {"hosts.hidden", {}},
        {"hosts.system", {}},
        {"hosts.readonly", {"hosts.readonly"}},
        {"hosts.bad|name", {}},  // a name the file system rejects finds nothing
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sorted(FindOrdinaryFiles(dir / c.pattern)), Sorted(c.names)) << c.pattern;
}

// The ANSI search gives a name outside the code page as a look-alike that names another file ("hosts.Ωmega" as
// "hosts.Omega"), and the ANSI calls cannot open a path past MAX_PATH: neither is a file the program can act on.
TEST(FindOrdinaryFiles, LeavesOutNamesTheAnsiCallsCannotActOn)
{
    TempDirectory dir;
    const std::size_t longestName = MAX_PATH - 1 - (dir.path().size() + 1);
    const std::string longest = "hosts." + std::string(longestName - 6, 'x');
    const std::string tooLong = "hosts." + std::string(longestName - 5, 'y');
    for (const std::string& name : {std::string("hosts.Omega"), std::string("hosts.\u03A9mega"),
                                    std::string("hosts.\u0141odz"), longest, tooLong})
        WriteBytes(dir / name, "x\r\n");
    EXPECT_EQ(Sorted(FindOrdinaryFiles(dir / "hosts.*")), Sorted({"hosts.Omega", longest}));
    EXPECT_EQ(StoredEntryName(dir / "hosts.OMEGA"), "hosts.Omega");
    EXPECT_EQ(StoredEntryName(dir / "hosts.Lodz"), std::nullopt) << "the look-alike names no file";

    // A file must also leave room for the siblings its replacement makes.
    const std::size_t room = MAX_PATH - 36;
    const std::string unrepresentable = std::string("hosts.") + kUnrepresentableCharacter + "mega";
    const std::pair<std::string, bool> cases[] = {
        {dir / "hosts.work", true},
        {dir / unrepresentable, false},
        {"C:\\" + std::string(room - 3, 'k'), true},
        {"C:\\" + std::string(room - 2, 'k'), false},
        {dir / longest, false},
    };
    for (const auto& [path, keepable] : cases)
        EXPECT_EQ(CanKeepFileAt(path), keepable) << path.size();
}

TEST(FindOrdinaryFiles, NeverListsASymbolicLink)
{
    TempDirectory dir;
    WriteBytes(dir / "hosts.target", "x\r\n");
    if (!::CreateSymbolicLinkA((dir / "hosts.link").c_str(), (dir / "hosts.target").c_str(), 0))
        GTEST_SKIP() << "this system makes no symbolic links (error " << ::GetLastError() << ")";
    EXPECT_EQ(FindOrdinaryFiles(dir / "hosts.*"), std::vector<std::string>{"hosts.target"});
    // Not read through, whatever the system then reports.
    EXPECT_NE(ErrorOf([&] { ReadWholeFile(dir / "hosts.link"); }), RuntimeErrorNumber::InternalError);
}

TEST(ReadWholeFile, GivesTheBytesOfOrdinaryFilesOnly)
{
    TempDirectory dir;
    const std::string bytes("a\r\nb\rc\nd\0e\xff", 12);
    WriteBytes(dir / "hosts", bytes);
    EXPECT_EQ(ReadWholeFile(dir / "hosts"), bytes);

    // A device, not a file (a missing file or folder, a folder: the platform contract).
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(dir / "NUL"); }), RuntimeErrorNumber::PathFileAccessError);
}

TEST(ReplaceFileAtomically, ReplacesOrCreatesAndLeavesOnlyTheFileBehind)
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
        TempDirectory dir;
        const std::string hosts = dir / "hosts";
        if (c.attributesBefore)
            WriteWithAttributes(hosts, c.attributesBefore);
        ReplaceFileAtomically(hosts, {"127.0.0.1 a\r\n", "", "10.0.0.1 b\r\n"});
        EXPECT_EQ(ReadBytes(hosts), "127.0.0.1 a\r\n10.0.0.1 b\r\n") << c.name;
        EXPECT_EQ(AttributesOf(hosts) & ~FILE_ATTRIBUTE_NORMAL, c.attributesAfter) << c.name;
        EXPECT_EQ(EverythingIn(dir.path()), std::vector<std::string>{"hosts"}) << c.name;
    }
}

TEST(ReplaceFileAtomically, RefusesWhatItMayNotReplaceAndKeepsTheOldContent)
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
        TempDirectory dir;
        const std::string hosts = dir / "hosts";
        WriteBytes(hosts, "old\r\n");
        ::SetFileAttributesA(hosts.c_str(), c.attributes);
        const DWORD attributesBefore = AttributesOf(hosts);
        EXPECT_EQ(ErrorOf([&] { ReplaceFileAtomically(hosts, {"new\r\n"}); }), c.number) << c.name;
        EXPECT_EQ(ReadBytes(hosts), "old\r\n") << c.name;
        EXPECT_EQ(AttributesOf(hosts), attributesBefore) << c.name;
        EXPECT_EQ(EverythingIn(dir.path()), std::vector<std::string>{"hosts"}) << c.name;
    }
}

// Another program holds the file open without letting it be replaced, for a while or for good.
TEST(ReplaceFileAtomically, WaitsBrieflyForAFileHeldByAnotherProgramAndOtherwiseKeepsItsContent)
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
        TempDirectory dir;
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
        EXPECT_EQ(ErrorOf([&] { ReplaceFileAtomically(hosts, {"new\r\n"}); }), c.number) << c.name;
        if (releaser.joinable())
            releaser.join();
        else
            ::CloseHandle(holder);
        EXPECT_EQ(ReadBytes(hosts), c.contentAfter) << c.name;
        EXPECT_EQ(EverythingIn(dir.path()), std::vector<std::string>{"hosts"}) << c.name;
    }
}

// Another program holds the file for good, with the sharing modes it chose: with read and write sharing but
// no delete sharing the file cannot be replaced, but it is rewritten in place (the same file, no journal
// left); with less sharing the refusal stands and the file keeps its content.
TEST(ReplaceFileAtomically, RewritesInPlaceAFileAnotherProgramHoldsWithReadAndWriteSharing)
{
    struct Case {
        const char* sharing;
        std::string content;
        bool sameFile;              // rewritten in place rather than replaced
        RuntimeErrorNumber number;  // InternalError: no error
    };
    const Case cases[] = {
        {"rw", "10.0.0.1 a longer new content\r\n", true, RuntimeErrorNumber::InternalError},
        {"rw", "1\r\n", true, RuntimeErrorNumber::InternalError},
        {"rw", "", true, RuntimeErrorNumber::InternalError},
        {"rwd", "new\r\n", false, RuntimeErrorNumber::InternalError},
        {"r", "new\r\n", true, RuntimeErrorNumber::PermissionDenied},
        {"-", "new\r\n", true, RuntimeErrorNumber::PermissionDenied},
    };
    for (const Case& c : cases) {
        TempDirectory dir;
        const std::string hosts = dir / "hosts";
        const std::string old = "127.0.0.1 old content\r\n";
        WriteBytes(hosts, old);
        const std::uint64_t fileBefore = FileIndexOf(hosts);
        {
            FileHolder holder(hosts, c.sharing);
            ASSERT_TRUE(holder.holds()) << c.sharing << ": " << holder.answer();
            EXPECT_EQ(ErrorOf([&] { ReplaceFileAtomically(hosts, {c.content}); }), c.number) << c.sharing;
        }
        const bool replaced = c.number == RuntimeErrorNumber::InternalError;
        EXPECT_EQ(ReadBytes(hosts), replaced ? c.content : old) << c.sharing;
        EXPECT_EQ(FileIndexOf(hosts) == fileBefore, c.sameFile) << c.sharing;
        EXPECT_EQ(EverythingIn(dir.path()), std::vector<std::string>{"hosts"}) << c.sharing;
    }
}

TEST(StoredEntryName, NamesWhateverStandsUnderTheNameInItsStoredCase)
{
    TempDirectory dir;
    WriteWithAttributes(dir / "hosts.hidden", FILE_ATTRIBUTE_HIDDEN);
    struct Case {
        const char* name;
        std::optional<std::string> stored;
    };
    const Case cases[] = {
        {"HOSTS.HIDDEN", "hosts.hidden"},  // hidden from the listing, not from this question
        {"NUL", "NUL"},                    // a device, in every folder
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
    TempDirectory dir;
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
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(EverythingIn(dir.path()), expected);
}

// What an in-place rewrite killed at some moment left: `hosts` and its journal. The next start settles it.
TEST(FinishInterruptedReplacements, SettlesAnInterruptedInPlaceRewriteByItsJournal)
{
    const std::string old = "127.0.0.1 old\r\n";
    const std::string fresh = "10.0.0.1 new and longer\r\n";
    const std::string cut = fresh.substr(0, 7) + std::string(10, '\0');
    enum class Marker { Complete, CutShort, NamesAnotherFile, ForAnotherFile, HeldByARunningRewrite };
    struct Case {
        const char* what;
        std::string hostsNow;
        std::string oldCopy;
        std::string newCopy;
        Marker marker;
        std::string hostsAfter;
        bool journalLeft;
        RuntimeErrorNumber number;  // InternalError: no error
    };
    const auto none = RuntimeErrorNumber::InternalError;
    const Case cases[] = {
        {"cut during the write", cut, old, fresh, Marker::Complete, old, false, none},
        {"written whole", fresh, old, fresh, Marker::Complete, fresh, false, none},
        {"not yet touched", old, old, fresh, Marker::Complete, old, false, none},
        {"old copy damaged", cut, "damaged\r\n", fresh, Marker::Complete, fresh, false, none},
        {"both copies damaged", cut, "x", "y", Marker::Complete, cut, true, RuntimeErrorNumber::PathFileAccessError},
        {"marker never completed", old + "x", old, fresh, Marker::CutShort, old + "x", false, none},
        {"hosts replaced as a whole since", cut, old, fresh, Marker::ForAnotherFile, cut, false, none},
        {"marker names another file", cut, old, fresh, Marker::NamesAnotherFile, cut, true, none},
        {"held by a running rewrite", cut, old, fresh, Marker::HeldByARunningRewrite, cut, true, none},
    };
    for (const Case& c : cases) {
        TempDirectory dir;
        WriteBytes(dir / "hosts", c.hostsNow);
        WriteBytes(dir / "~velmora~hosts.old", c.oldCopy);
        WriteBytes(dir / "~velmora~hosts.new", c.newCopy);
        RewriteJournal journal {SummaryOf({old}), SummaryOf({fresh}), FileIndexOf(dir / "hosts"), "hosts"};
        if (c.marker == Marker::ForAnotherFile)
            ++journal.fileId;
        if (c.marker == Marker::NamesAnotherFile)
            journal.targetName = "..\\hosts";
        std::string marker = RewriteJournalText(journal);
        if (c.marker == Marker::CutShort)
            marker.resize(marker.size() - 3);
        const std::string markerPath = dir / "~velmora~hosts.journal";
        WriteBytes(markerPath, marker);
        const HANDLE held = c.marker == Marker::HeldByARunningRewrite
                                ? ::CreateFileA(markerPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                : INVALID_HANDLE_VALUE;

        EXPECT_EQ(ErrorOf([&] { FinishInterruptedReplacements(dir.path()); }), c.number) << c.what;

        if (held != INVALID_HANDLE_VALUE)
            ::CloseHandle(held);
        EXPECT_EQ(ReadBytes(dir / "hosts"), c.hostsAfter) << c.what;
        EXPECT_EQ(AttributesOf(markerPath) != INVALID_FILE_ATTRIBUTES, c.journalLeft) << c.what;
        if (!c.journalLeft) {
            EXPECT_EQ(EverythingIn(dir.path()), std::vector<std::string>{"hosts"}) << c.what;
        }
    }
}

// Appending, creating and deleting as such: the platform contract.
TEST(SmallFileOperations, AppendAndDeleteRespectTheReadOnlyAttribute)
{
    TempDirectory dir;
    const std::string file = dir / "hosts.work";
    WriteBytes(file, "a\r\n");
    WriteWithAttributes(dir / "hosts.locked", FILE_ATTRIBUTE_READONLY);
    struct Case {
        const char* what;
        std::function<void()> action;
        RuntimeErrorNumber number;
    };
    const Case cases[] = {
        {"append to read-only", [&] { AppendToFile(dir / "hosts.locked", "x"); }, RuntimeErrorNumber::PermissionDenied},
        {"delete read-only", [&] { RemoveOrdinaryFile(dir / "hosts.locked"); },
         RuntimeErrorNumber::PathFileAccessError},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf(c.action), c.number) << c.what;
    EXPECT_EQ(ReadBytes(dir / "hosts.locked"), "x\r\n");

    RemoveOrdinaryFile(file);
    EXPECT_EQ(AttributesOf(file), INVALID_FILE_ATTRIBUTES);
}

// What the system's own `hosts.*` search finds, short names included, hidden files too.
std::vector<std::string> HostsSearchFinds(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found {};
    const HANDLE search = ::FindFirstFileA((folder + "\\hosts.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Real switches in a folder: a `hosts` that no variant's line copy equals is kept, hidden from every search
// of `hosts.*` (by its short name too) with the old file's attributes, five at most; nothing else that looks
// like a kept copy is ever removed.
TEST(KeptCopies, ASwitchKeepsAHostsNoVariantHoldsHiddenAndFiveAtMost)
{
    struct Case {
        const char* what;
        std::string hosts;
        int switches;  // each from `hosts` made anew: the content with the switch's number after it
        std::size_t kept;
    };
    const Case cases[] = {
        {"lines typed in", "127.0.0.1 typed\r\n", 1, 1},
        {"the variant switched to", "10.0.0.1 work\r\n", 1, 0},
        {"another variant's line copy", "d\r\n", 1, 0},
        {"a variant without its line end is no line copy", "d", 1, 1},
        {"seven switches keep the five newest", "127.0.0.1 typed\r\n", 7, 5},
    };
    const std::vector<std::string> lookAlikes = {".hosts~kept-2020", ".hosts~kept-20200101-000000-00000x",
                                                 "hosts~kept-20200101-000000-000000",
                                                 ".hosts~kept-20200101-000000-0000001"};
    WindowsPlatform platform;
    for (const Case& c : cases) {
        TempDirectory dir;
        const std::string folder = dir.path() + "\\";
        WriteBytes(dir / "hosts.Default", "d");
        WriteBytes(dir / "hosts.work", "10.0.0.1 work");
        for (const std::string& name : lookAlikes)
            WriteBytes(dir / name, "other");
        ASSERT_TRUE(::CreateDirectoryA((dir / ".hosts~kept-19990101-000000-000000").c_str(), nullptr));
        std::vector<std::string> hostsBefore;
        for (int i = 0; i < c.switches; ++i) {
            hostsBefore.push_back(c.switches == 1 ? c.hosts : c.hosts + std::to_string(i));
            ::SetFileAttributesA((dir / "hosts").c_str(), FILE_ATTRIBUTE_NORMAL);
            WriteBytes(dir / "hosts", hostsBefore.back());
            ::SetFileAttributesA((dir / "hosts").c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM);
            ASSERT_EQ(ActivateVariant(platform, folder, "hosts.work"), HostsChange::Made) << c.what;
        }
        EXPECT_EQ(ReadBytes(dir / "hosts"), "10.0.0.1 work\r\n") << c.what;
        const std::map<std::string, std::string> kept = KeptCopiesOfHosts(folder);
        ASSERT_EQ(kept.size(), c.kept) << c.what << ": " << ::testing::PrintToString(EverythingIn(dir.path()));
        auto newest = hostsBefore.end() - static_cast<std::ptrdiff_t>(c.kept);
        for (const auto& [name, content] : kept) {
            EXPECT_EQ(content, *newest++) << c.what << ": " << name;
            const DWORD attributes = AttributesOf(dir / name);
            EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
                      static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
                << c.what << ": " << name;
            char shortName[MAX_PATH] = {};
            ::GetShortPathNameA((dir / name).c_str(), shortName, MAX_PATH);
            EXPECT_EQ(HostsSearchFinds(dir.path()), (std::vector<std::string> {"hosts", "hosts.Default", "hosts.work"}))
                << c.what << ": " << name << " (short name " << shortName << ")";
        }
        for (const std::string& name : lookAlikes)
            EXPECT_EQ(ReadBytes(dir / name), "other") << c.what << ": " << name;
        EXPECT_NE(AttributesOf(dir / ".hosts~kept-19990101-000000-000000"), INVALID_FILE_ATTRIBUTES) << c.what;
        const std::vector<std::string> listed = platform.findFiles(folder + "hosts.*");
        EXPECT_TRUE(std::none_of(listed.begin(), listed.end(), [](const std::string& name) { return name[0] == '.'; }))
            << c.what << ": " << ::testing::PrintToString(listed);
    }
}

// The comparison a switch makes before it replaces `hosts`: the whole content, piece by piece.
TEST(FileHolds, TellsWhetherTheFileHoldsExactlyThePieces)
{
    TempDirectory dir;
    WriteBytes(dir / "hosts", "127.0.0.1 a\r\n");
    struct Case {
        std::vector<std::string_view> pieces;
        bool holds;
    };
    const Case cases[] = {
        {{"127.0.0.1 a", "\r\n"}, true},        // the same bytes in two pieces
        {{"", "127.0.0.1 a\r\n", ""}, true},    // empty pieces around them
        {{"127.0.0.1 b", "\r\n"}, false},       // one byte differs
        {{"127.0.0.1 a"}, false},               // the file is longer
        {{"127.0.0.1 a", "\r\n", "x"}, false},  // the file is shorter
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileHolds(dir / "hosts", c.pieces), c.holds) << c.pieces.size();
    EXPECT_FALSE(FileHolds(dir / "missing", {""}));
    EXPECT_EQ(OrdinaryFileSize(dir / "hosts"), std::optional<std::uint64_t>(13));
    EXPECT_EQ(OrdinaryFileSize(dir.path()), std::nullopt);
}

}  // namespace
}  // namespace velmora::windows_platform
