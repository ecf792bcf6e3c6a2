// The file operations under hostile conditions: special files, other users, bind mounts, full disks,
// killed switches. Real files in temporary directories; cases that need root or mounts skip without them.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <optional>
#include <set>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

#include "hosts_store/hosts_store.h"
#include "shell/linux/in_place_rewrite.h"
#include "shell/linux/posix_files.h"
#include "shell/runtime_error.h"
#include "tests/support/fake_platform.h"
#include "tests/support/process_runner.h"
#include "tests/support/temp_directory.h"

namespace velmora::linux_platform {
namespace {

using testing::ReadFile;
using testing::TempDirectory;
using testing::WriteFile;
using Names = std::vector<std::string>;

constexpr uid_t kNobody = 65534;
constexpr int kDenied = static_cast<int>(RuntimeErrorNumber::PermissionDenied);

// Starts the action in a child process (as `user` when given) that ends with 0, the run-time error number
// it threw, or 200; after 5 s it is killed by SIGALRM, so that an action that blocks cannot hang the test.
pid_t StartChild(const std::function<void()>& action, std::optional<uid_t> user = std::nullopt)
{
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    ::alarm(5);
    if (user && (::setgroups(0, nullptr) != 0 || ::setresgid(*user, *user, *user) != 0 ||
                 ::setresuid(*user, *user, *user) != 0))
        ::_exit(201);
    try {
        action();
    } catch (const RuntimeError& error) {
        ::_exit(static_cast<int>(error.number()));
    } catch (...) {
        ::_exit(200);
    }
    ::_exit(0);
}

// The child's exit code, or minus the signal that ended it.
int RunInChild(const std::function<void()>& action, std::optional<uid_t> user = std::nullopt)
{
    int status = 0;
    ::waitpid(StartChild(action, user), &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

struct stat StatusOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status;
}

Names NamesIn(const std::string& directory)
{
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Output(const std::vector<std::string>& argv)
{
    const auto result = velmora::testing::RunProgram(argv, {});
    EXPECT_EQ(result.exitCode, 0) << argv.front() << " " << result.errors;
    return result.output;
}

// Mounts made by a test (a small tmpfs, a file bound over another), taken away at the end.
class Mounts {
public:
    ~Mounts()
    {
        for (auto at = targets_.rbegin(); at != targets_.rend(); ++at)
            ::umount2(at->c_str(), MNT_DETACH);
    }
    bool mount(const std::string& source, const std::string& at, const char* type, const std::string& options = {})
    {
        if (::mount(source.c_str(), at.c_str(), type, type ? 0 : MS_BIND, options.c_str()) != 0)
            return false;
        targets_.push_back(at);
        return true;
    }

private:
    Names targets_;
};

TEST(HostileFiles, ReplacingKeepsModeOwnerAndEveryAttributeBitForBit)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give files other owners, setuid bits and ACLs";
    if (::access("/usr/bin/setfacl", X_OK) != 0 || ::access("/usr/bin/getfattr", X_OK) != 0)
        GTEST_SKIP() << "needs setfacl, setfattr and getfattr (packages acl and attr; scripts/install-deps.sh)";
    struct Case {
        const char* what;
        mode_t mode;
        uid_t owner;
        gid_t group;
        Names setUp;  // a program run on the file (its path is appended), if any
    };
    const Case cases[] = {
        {"setuid and setgid executable of another user", 06755, 1234, 2345, {}},
        {"group-writable, owner may not write", 0464, 0, 0, {}},
        {"POSIX ACL with a narrow mask", 0640, 0, 0, {"/usr/bin/setfacl", "-m", "u:65534:rw-,g:65534:r--,m::r--"}},
        {"user attribute", 0644, 0, 0, {"/usr/bin/setfattr", "-n", "user.velmora.note", "-v", "kept"}},
    };
    for (const auto& c : cases) {
        TempDirectory dir;
        const std::string hosts = dir / "hosts";
        WriteFile(hosts, "old\r\n");
        ASSERT_EQ(::chown(hosts.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(::chmod(hosts.c_str(), c.mode), 0);
        Names setUp = c.setUp;
        setUp.push_back(hosts);
        if (!c.setUp.empty())
            Output(setUp);
        // A default ACL on the directory would give a new file an ACL the old one does not have.
        Output({"/usr/bin/setfacl", "-d", "-m", "u:65534:rwx", dir.path()});
        const Names attributes = {"/usr/bin/getfattr", "-d", "-m", "-", "-e", "hex", hosts};
        const struct stat before = StatusOf(hosts);
        const std::string attributesBefore = Output(attributes);

        ReplaceFileAtomically(hosts, {"new\r\n"});

        const struct stat after = StatusOf(hosts);
        EXPECT_EQ(ReadFile(hosts), "new\r\n") << c.what;
        EXPECT_NE(after.st_ino, before.st_ino) << c.what << ": replaced by a rename";
        EXPECT_EQ(std::tie(after.st_mode, after.st_uid, after.st_gid), std::tie(before.st_mode, before.st_uid, before.st_gid))
            << c.what;
        EXPECT_EQ(Output(attributes), attributesBefore) << c.what;
        EXPECT_EQ(NamesIn(dir.path()), Names{"hosts"}) << c.what;
    }
}

TEST(HostileFiles, ABindMountedFileIsRewrittenInPlaceAndNeverCutByAFullDisk)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount";
    struct Case {
        const char* what;
        const char* diskSize;
        std::size_t oldSize, newSize;
        int expectedError;
    };
    const Case cases[] = {
        {"fits", "256k", 10000, 50000, 0},
        {"shrinks", "256k", 50000, 1000, 0},
        {"does not fit on the disk", "64k", 20000, 100000, static_cast<int>(RuntimeErrorNumber::DiskFull)},
        {"empties", "64k", 20000, 0, 0},
    };
    for (const auto& c : cases) {
        TempDirectory dir;
        Mounts mounts;
        ::mkdir((dir / "disk").c_str(), 0755);
        const std::string real = dir / "disk/hosts", oldContent(c.oldSize, 'o'), newContent(c.newSize, 'n');
        WriteFile(dir / "hosts", "");
        if (!mounts.mount("tmpfs", dir / "disk", "tmpfs", std::string("size=") + c.diskSize))
            GTEST_SKIP() << "this machine does not allow mounting a tmpfs: " << std::strerror(errno);
        WriteFile(real, oldContent);
        if (!mounts.mount(real, dir / "hosts", nullptr))
            GTEST_SKIP() << "this machine does not allow bind mounts: " << std::strerror(errno);
        const struct stat before = StatusOf(dir / "hosts");

        EXPECT_EQ(RunInChild([&] { ReplaceFileAtomically(dir / "hosts", {newContent}); }), c.expectedError) << c.what;

        EXPECT_EQ(ReadFile(real), c.expectedError == 0 ? newContent : oldContent) << c.what;
        EXPECT_EQ(StatusOf(dir / "hosts").st_ino, before.st_ino) << c.what;
        EXPECT_EQ(NamesIn(dir.path()), (Names{"disk", "hosts"})) << c.what << ": no journal or temporary left";
    }
}

TEST(HostileFiles, AKillAtAnyMomentOfAnInPlaceRewriteLeavesTheOldOrTheNewContentAfterTheNextStart)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount";
    const std::string oldContent(3 << 20, 'o'), newContent(5 << 20, 'n');
    // Killed so long after the start, or after the journal was complete (while the file itself is written).
    const std::pair<bool, int> moments[] = {{false, 0},   {false, 2000}, {false, 8000}, {false, 15000}, {true, 0},
                                            {true, 300},  {true, 1000},  {true, 2000},  {true, 3000},   {true, 5000},
                                            {true, 8000}, {true, 200000}};
    std::set<std::string> seen;
    for (const auto& [afterJournal, delayMicroseconds] : moments) {
        TempDirectory dir;
        Mounts mounts;
        WriteFile(dir / "real", oldContent);
        WriteFile(dir / "hosts", "");
        if (!mounts.mount(dir / "real", dir / "hosts", nullptr))
            GTEST_SKIP() << "this machine does not allow bind mounts: " << std::strerror(errno);
        const pid_t child = StartChild([&] { ReplaceFileAtomically(dir / "hosts", {newContent}); });
        std::error_code missing;
        while (afterJournal && ::waitpid(child, nullptr, WNOHANG) == 0 &&
               std::filesystem::file_size(dir / ".velmora~hosts.journal", missing) + 1 <= 1)  // missing or empty
            ::usleep(100);
        ::usleep(static_cast<useconds_t>(delayMicroseconds));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        RecoverInterruptedRewrites(dir.path());  // the next start

        const std::string now = ReadFile(dir / "real");
        EXPECT_TRUE(now == oldContent || now == newContent) << delayMicroseconds << " us: " << now.size() << " bytes";
        seen.insert(now == newContent ? "new" : "old");
        ReplaceFileAtomically(dir / "hosts", {oldContent});  // and the switch after it removes the temporary
        EXPECT_EQ(NamesIn(dir.path()), (Names{"hosts", "real"})) << delayMicroseconds << " us";
    }
    std::printf("outcomes seen: %s%s\n", seen.count("old") ? "old " : "", seen.count("new") ? "new" : "");
}

TEST(HostileFiles, OnlyAUserWhoMayWriteTheFileCanSwitchItAndItKeepsItsOwner)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to prepare files for another user";
    // The file is root's; its group is the user's own (nogroup).
    const std::tuple<const char*, mode_t, mode_t, int> cases[] = {
        {"file writable for the user, directory not: in place", 0755, 0664, 0},
        {"both writable, but a new file could not keep the owner: in place", 0777, 0664, 0},
        {"directory writable, file not: refused", 0777, 0644, kDenied},
        {"neither writable: refused", 0755, 0644, kDenied},
    };
    for (const auto& [what, directoryMode, fileMode, expectedError] : cases) {
        TempDirectory dir;
        ::chmod(dir.path().c_str(), 0755);
        const std::string etc = dir / "etc", hosts = etc + "/hosts";
        ::mkdir(etc.c_str(), 0755);
        ::chmod(etc.c_str(), directoryMode);
        WriteFile(hosts, "old\r\n");
        ASSERT_EQ(::chown(hosts.c_str(), 0, kNobody), 0);
        ::chmod(hosts.c_str(), fileMode);

        EXPECT_EQ(RunInChild([&, &hosts = hosts] { ReplaceFileAtomically(hosts, {"new\r\n"}); }, kNobody), expectedError)
            << what;

        EXPECT_EQ(ReadFile(hosts), expectedError == 0 ? "new\r\n" : "old\r\n") << what;
        EXPECT_EQ(std::make_tuple(StatusOf(hosts).st_uid, StatusOf(hosts).st_mode & 07777), std::make_tuple(0u, fileMode))
            << what;
        EXPECT_EQ(NamesIn(etc), Names{"hosts"}) << what;
    }
}

TEST(HostileFiles, SpecialFilesUnderTheNameAreRefusedWithoutBlocking)
{
    const std::pair<const char*, std::function<int(const std::string&)>> specials[] = {
        {"FIFO", [](const std::string& path) { return ::mkfifo(path.c_str(), 0666); }},
        {"character device", [](const std::string& path) { return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)); }},
        {"directory", [](const std::string& path) { return ::mkdir(path.c_str(), 0777); }},
    };
    const std::function<void(const std::string&)> operations[] = {
        [](const std::string& path) { ReadWholeFile(path); },
        [](const std::string& path) { ReplaceFileAtomically(path, {"x\r\n"}); },
        [](const std::string& path) { AppendToFile(path, "x\r\n"); },
    };
    for (const auto& [what, make] : specials) {
        TempDirectory dir;
        // Named as a user might type the variant `hosts.work`: found case-blind, then opened as written.
        if (make(dir / "hosts.WORK") != 0) {
            std::printf("skipped %s: cannot be made here (%s)\n", what, std::strerror(errno));
            continue;
        }
        for (std::size_t operation = 0; operation < std::size(operations); ++operation)
            EXPECT_EQ(RunInChild([&] { operations[operation](dir / "hosts.WORK"); }),
                      static_cast<int>(RuntimeErrorNumber::PathFileAccessError))
                << what << ", operation " << operation << " (" << -SIGALRM << ": it blocked)";
    }
}

TEST(HostileFiles, ASwitchRemovesOnlyItsOwnStaleTemporaries)
{
    TempDirectory dir;
    WriteFile(dir / "hosts", "old\r\n");
    for (const char* stale : {".velmora-hosts-Ab3xYz", ".velmora-hosts.office-000000"})
        WriteFile(dir / stale, "stale");
    const Names kept = {
        ".velmora-hosts-Locked",          // held by a running switch
        ".velmora-hosts-Ab3xY",           // one letter short of the pattern
        ".velmora-hosts-Ab3xYz.bak",      // more than the pattern
        "velmora-hosts-Ab3xYz",           // not hidden
        ".velmora~hosts.office.journal",  // another file's journal, left to the recovery at start
        "hosts.office",
    };
    for (const auto& name : kept)
        WriteFile(dir / name, "kept");
    ::mkdir((dir / ".velmora-hosts-Direct").c_str(), 0755);
    ASSERT_EQ(::symlink((dir / "hosts.office").c_str(), (dir / ".velmora-hosts-Linked").c_str()), 0);
    ::mkfifo((dir / ".velmora-hosts-Fifo00").c_str(), 0600);
    const int locked = ::open((dir / ".velmora-hosts-Locked").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(locked, LOCK_EX), 0);

    ReplaceFileAtomically(dir / "hosts", {"new\r\n"});
    ::close(locked);

    Names expected = kept;
    expected.insert(expected.end(), {"hosts", ".velmora-hosts-Direct", ".velmora-hosts-Linked", ".velmora-hosts-Fifo00"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(NamesIn(dir.path()), expected);
}

// The marker an in-place rewrite writes before it touches the file.
std::string MarkerText(const std::string& oldContent, const std::string& newContent, ino_t inode,
                       const std::string& target = "hosts")
{
    auto summary = [](const std::string& bytes) {
        std::uint64_t hash = 14695981039346656037ull;
        for (const char byte : bytes)
            hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
        char text[40];
        std::snprintf(text, sizeof text, "%zu %llx", bytes.size(), static_cast<unsigned long long>(hash));
        return std::string(text);
    };
    return "velmora in-place rewrite 1\nold " + summary(oldContent) + "\nnew " + summary(newContent) + "\ninode " +
           std::to_string(inode) + "\ntarget " + std::to_string(target.size()) + "\n" + target + "\nend\n";
}

TEST(HostileFiles, TheNextStartFinishesAnInterruptedInPlaceRewrite)
{
    const std::string oldContent = "127.0.0.1 localhost\r\n10.0.0.1 old-one\r\n10.0.0.2 old-two\r\n";
    const std::string newContent = "10.9.9.9 brand-new\r\n";
    enum class Marker { Empty, CutShort, Complete, ForAnotherInode, HeldByARunningSwitch };
    struct Case {
        const char* what;
        Marker marker;
        std::string hosts;
        std::optional<std::string> oldCopy, newCopy;
        std::string expectedHosts;
    };
    const Case cases[] = {
        {"killed before the marker was written", Marker::Empty, oldContent, std::nullopt, newContent, oldContent},
        {"marker cut short", Marker::CutShort, oldContent, oldContent.substr(0, 9), newContent, oldContent},
        {"killed before the first write", Marker::Complete, oldContent, oldContent, newContent, oldContent},
        {"killed after emptying the file", Marker::Complete, "", oldContent, newContent, oldContent},
        {"killed halfway", Marker::Complete, newContent.substr(0, 8) + oldContent.substr(8), oldContent, newContent,
         oldContent},
        {"killed after reserving with zeros", Marker::Complete, oldContent + std::string(30, '\0'), oldContent,
         newContent, oldContent},
        {"killed after the write", Marker::Complete, newContent, oldContent, newContent, newContent},
        {"killed while removing the copies", Marker::Complete, newContent, std::nullopt, std::nullopt, newContent},
        {"old copy damaged: completed instead", Marker::Complete, "", oldContent.substr(1), newContent, newContent},
        {"file replaced by a rename since", Marker::ForAnotherInode, "edited\r\n", oldContent, newContent, "edited\r\n"},
        {"a running switch holds it", Marker::HeldByARunningSwitch, "", oldContent, newContent, ""},
    };
    for (const auto& c : cases) {
        TempDirectory dir;
        WriteFile(dir / "hosts", c.hosts);
        WriteFile(dir / "hosts.office", "variant\r\n");
        WriteFile(dir / ".velmora~notes", "not a journal");
        if (c.oldCopy)
            WriteFile(dir / ".velmora~hosts.old", *c.oldCopy);
        if (c.newCopy)
            WriteFile(dir / ".velmora~hosts.new", *c.newCopy);
        const std::string marker =
            MarkerText(oldContent, newContent, StatusOf(dir / "hosts").st_ino + (c.marker == Marker::ForAnotherInode));
        WriteFile(dir / ".velmora~hosts.journal", c.marker == Marker::Empty      ? ""
                                                  : c.marker == Marker::CutShort ? marker.substr(0, marker.size() - 4)
                                                                                 : marker);
        const bool held = c.marker == Marker::HeldByARunningSwitch;
        const int journal = ::open((dir / ".velmora~hosts.journal").c_str(), O_RDONLY);
        ::flock(journal, held ? LOCK_EX : LOCK_UN);

        // Every other case meets the journal by reading the file (a copy of it) rather than at start.
        if ((&c - cases) % 2 == 1 && !held)
            EXPECT_EQ(ReadWholeFile(dir / "hosts"), c.expectedHosts) << c.what;
        else
            RecoverInterruptedRewrites(dir.path());
        if (held) {
            EXPECT_EQ(RunInChild([&] { ReplaceFileAtomically(dir / "hosts", {"x"}); }), kDenied) << "and never waits";
        }
        ::close(journal);

        EXPECT_EQ(ReadFile(dir / "hosts"), c.expectedHosts) << c.what;
        const Names journalFiles = {".velmora~hosts.journal", ".velmora~hosts.new", ".velmora~hosts.old"};
        Names expectedNames = {".velmora~notes", "hosts", "hosts.office"};
        if (held)
            expectedNames.insert(expectedNames.begin(), journalFiles.begin(), journalFiles.end());
        EXPECT_EQ(NamesIn(dir.path()), expectedNames) << c.what;
    }

    // Neither copy intact and the file cut: nothing can be finished, the journal stays for another try.
    TempDirectory dir;
    WriteFile(dir / "hosts", "");
    WriteFile(dir / ".velmora~hosts.journal", MarkerText(oldContent, newContent, StatusOf(dir / "hosts").st_ino));
    WriteFile(dir / ".velmora~hosts.old", "damaged");
    EXPECT_THROW(RecoverInterruptedRewrites(dir.path()), RuntimeError);
    EXPECT_EQ(NamesIn(dir.path()), (Names{".velmora~hosts.journal", ".velmora~hosts.old", "hosts"}));
    EXPECT_NO_THROW(RecoverInterruptedRewrites(dir / "missing"));

    // A name with a NUL past the part the marker's own name keeps: its cut form is another file, left alone.
    TempDirectory nulDir;
    const std::string longName = "hosts." + std::string(200, 'x');
    WriteFile(nulDir / longName, "cut\r\n");
    const std::string journal = ".velmora~" + longName.substr(0, 200);
    WriteFile(nulDir / (journal + ".old"), oldContent);
    WriteFile(nulDir / (journal + ".journal"),
              MarkerText(oldContent, newContent, StatusOf(nulDir / longName).st_ino, longName + std::string(1, '\0')));
    RecoverInterruptedRewrites(nulDir.path());
    EXPECT_EQ(ReadFile(nulDir / longName), "cut\r\n");
}

// Counts the pieces a copy hands to the platform.
class PieceCountingPlatform : public velmora::testing::FakePlatform {
public:
    void replaceTextFile(const std::string& path, const TextPieces& content) override
    {
        pieces = content.size();
        FakePlatform::replaceTextFile(path, content);
    }
    std::size_t pieces = 0;
};

TEST(HostileFiles, ACopyWithManyLoneCrsIsWrittenFromFewPiecesWithTheSameLineEnds)
{
    const std::pair<std::string, std::string> lines[] = {
        {"a\r", "a\r\n"}, {"\r", "\r\n"}, {"a\rb\r\nc\n\r", "a\r\nb\r\nc\n\r\n"}};
    for (const auto& [line, expectedLine] : lines) {
        PieceCountingPlatform platform;
        std::string source, expected;
        for (int count = 0; count < 10000; ++count) {
            source += line;
            expected += expectedLine;
        }
        platform.files["C:\\hosts.big"] = source + "last";
        CopyHostFile(platform, "C:\\hosts.big", "C:\\hosts", false, "");
        EXPECT_EQ(platform.files["C:\\hosts"], expected + "last\r\n") << line;
        EXPECT_LE(platform.pieces, 2u) << line;
    }
}

}  // namespace
}  // namespace velmora::linux_platform
