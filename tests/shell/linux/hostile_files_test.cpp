// The file operations under hostile conditions: special files, other users, bind mounts, full disks,
// killed switches. Real files in temporary directories; cases that need root or mounts skip without them.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <optional>
#include <fcntl.h>
#include <grp.h>
#include <functional>
#include <map>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
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

constexpr uid_t kNobody = 65534;
constexpr int kTimedOut = -SIGALRM;

// Runs the action in a child process (as `user` when given) under a time limit, so that an action that
// blocks fails the test instead of hanging it. Gives 0, the run-time error number, or minus the signal.
int RunInChild(const std::function<void()>& action, std::optional<uid_t> user = std::nullopt)
{
    const pid_t child = ::fork();
    if (child == 0) {
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
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

struct stat StatusOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status;
}

// Every extended attribute of a file (ACLs, labels, user attributes), name to value.
std::map<std::string, std::string> AttributesOf(const std::string& path)
{
    std::map<std::string, std::string> attributes;
    std::string names(4096, '\0');
    names.resize(static_cast<std::size_t>(std::max<ssize_t>(0, ::llistxattr(path.c_str(), names.data(), names.size()))));
    for (std::size_t start = 0; start < names.size(); start = names.find('\0', start) + 1) {
        const std::string name = names.c_str() + start;
        std::string value(4096, '\0');
        const ssize_t size = ::lgetxattr(path.c_str(), name.c_str(), value.data(), value.size());
        value.resize(static_cast<std::size_t>(std::max<ssize_t>(0, size)));
        attributes[name] = value;
    }
    return attributes;
}

std::vector<std::string> NamesIn(const std::string& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool RunsToTheEnd(const std::vector<std::string>& argv)
{
    return velmora::testing::RunProgram(argv, {}).exitCode == 0;
}

// Mounts for a test and takes them away again; empty when this machine does not allow mounting.
class Mounts {
public:
    ~Mounts()
    {
        for (auto at = targets_.rbegin(); at != targets_.rend(); ++at)
            ::umount2(at->c_str(), MNT_DETACH);
    }
    bool smallMemoryDisk(const std::string& at, const std::string& size)
    {
        return add(::mount("tmpfs", at.c_str(), "tmpfs", 0, ("size=" + size).c_str()), at);
    }
    bool bind(const std::string& file, const std::string& over) { return add(::mount(file.c_str(), over.c_str(), nullptr, MS_BIND, nullptr), over); }

private:
    bool add(int result, const std::string& at)
    {
        if (result == 0)
            targets_.push_back(at);
        return result == 0;
    }
    std::vector<std::string> targets_;
};

TEST(HostileFiles, ReplacingKeepsModeOwnerAndEveryAttributeBitForBit)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give files other owners, setuid bits and ACLs";
    if (::access("/usr/bin/setfacl", X_OK) != 0 || ::access("/usr/bin/setfattr", X_OK) != 0)
        GTEST_SKIP() << "needs setfacl and setfattr (packages acl and attr; scripts/install-deps.sh)";
    struct Case {
        const char* what;
        mode_t mode;
        uid_t owner;
        gid_t group;
        std::vector<std::string> setUp;  // a program run on the file (its path is appended), if any
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
        if (!c.setUp.empty()) {
            std::vector<std::string> argv = c.setUp;
            argv.push_back(hosts);
            if (!RunsToTheEnd(argv)) {
                ADD_FAILURE() << c.what << ": " << c.setUp.front() << " failed (package acl or attr missing?)";
                continue;
            }
        }
        // A default ACL on the directory would give a new file an ACL the old one does not have.
        RunsToTheEnd({"/usr/bin/setfacl", "-d", "-m", "u:65534:rwx", dir.path()});
        const struct stat before = StatusOf(hosts);
        const auto attributesBefore = AttributesOf(hosts);

        ReplaceFileAtomically(hosts, {"new\r\n"});

        const struct stat after = StatusOf(hosts);
        EXPECT_EQ(ReadFile(hosts), "new\r\n") << c.what;
        EXPECT_NE(after.st_ino, before.st_ino) << c.what << ": replaced by a rename";
        EXPECT_EQ(after.st_mode, before.st_mode) << c.what;
        EXPECT_EQ(after.st_uid, before.st_uid) << c.what;
        EXPECT_EQ(after.st_gid, before.st_gid) << c.what;
        EXPECT_EQ(AttributesOf(hosts), attributesBefore) << c.what;
        EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"hosts"}) << c.what;
    }
}

TEST(HostileFiles, ABindMountedFileIsRewrittenInPlaceAndNeverCut)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount";
    struct Case {
        const char* what;
        const char* diskSize;
        std::size_t oldSize;
        std::size_t newSize;
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
        if (!mounts.smallMemoryDisk(dir / "disk", c.diskSize))
            GTEST_SKIP() << "this machine does not allow mounting a tmpfs: " << std::strerror(errno);
        const std::string real = dir / "disk/hosts";
        const std::string oldContent(c.oldSize, 'o'), newContent(c.newSize, 'n');
        WriteFile(real, oldContent);
        ::chmod(real.c_str(), 0604);
        WriteFile(dir / "hosts", "");
        if (!mounts.bind(real, dir / "hosts"))
            GTEST_SKIP() << "this machine does not allow bind mounts: " << std::strerror(errno);
        const struct stat before = StatusOf(dir / "hosts");

        const int error = RunInChild([&] { ReplaceFileAtomically(dir / "hosts", {newContent}); });

        EXPECT_EQ(error, c.expectedError) << c.what;
        EXPECT_EQ(ReadFile(real), c.expectedError == 0 ? newContent : oldContent) << c.what;
        const struct stat after = StatusOf(dir / "hosts");
        EXPECT_EQ(after.st_ino, before.st_ino) << c.what;
        EXPECT_EQ(after.st_mode, before.st_mode) << c.what;
        // No journal and no temporary is left beside it.
        EXPECT_EQ(NamesIn(dir.path()), (std::vector<std::string>{"disk", "hosts"})) << c.what;
    }
}

TEST(HostileFiles, OnlyAUserWhoMayWriteTheFileCanSwitchItAndItKeepsItsOwner)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to prepare files for another user";
    struct Case {
        const char* what;
        mode_t directoryMode;
        mode_t fileMode;
        int expectedError;
    };
    const int denied = static_cast<int>(RuntimeErrorNumber::PermissionDenied);
    // The file is root's, its group is the user's own (nogroup).
    const Case cases[] = {
        {"file writable for the user, directory not: in place", 0755, 0664, 0},
        {"both writable, but the owner cannot be kept by a new file: in place", 0777, 0664, 0},
        {"directory writable, file not: refused", 0777, 0644, denied},
        {"neither writable: refused", 0755, 0644, denied},
    };
    for (const auto& c : cases) {
        TempDirectory dir;
        ::chmod(dir.path().c_str(), 0755);
        const std::string etc = dir / "etc";
        ::mkdir(etc.c_str(), c.directoryMode);
        ::chmod(etc.c_str(), c.directoryMode);
        const std::string hosts = etc + "/hosts";
        WriteFile(hosts, "old\r\n");
        ASSERT_EQ(::chown(hosts.c_str(), 0, kNobody), 0);
        ::chmod(hosts.c_str(), c.fileMode);
        const struct stat before = StatusOf(hosts);

        const int error = RunInChild([&] { ReplaceFileAtomically(hosts, {"new\r\n"}); }, kNobody);

        EXPECT_EQ(error, c.expectedError) << c.what;
        EXPECT_EQ(ReadFile(hosts), c.expectedError == 0 ? "new\r\n" : "old\r\n") << c.what;
        const struct stat after = StatusOf(hosts);
        EXPECT_EQ(after.st_uid, 0u) << c.what;
        EXPECT_EQ(after.st_mode, before.st_mode) << c.what;
        EXPECT_EQ(NamesIn(etc), std::vector<std::string>{"hosts"}) << c.what;
    }
}

TEST(HostileFiles, SpecialFilesUnderTheNameAreRefusedWithoutBlocking)
{
    struct Case {
        const char* what;
        std::function<bool(const std::string&)> make;
    };
    const Case cases[] = {
        {"FIFO", [](const std::string& path) { return ::mkfifo(path.c_str(), 0666) == 0; }},
        {"character device", [](const std::string& path) { return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; }},
        {"directory", [](const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }},
        {"symlink to a FIFO", [](const std::string& path) {
             return ::mkfifo((path + "-fifo").c_str(), 0666) == 0 && ::symlink((path + "-fifo").c_str(), path.c_str()) == 0;
         }},
    };
    const std::pair<const char*, std::function<void(const std::string&)>> operations[] = {
        {"read", [](const std::string& path) { ReadWholeFile(path); }},
        {"replace", [](const std::string& path) { ReplaceFileAtomically(path, {"x\r\n"}); }},
        {"append", [](const std::string& path) { AppendToFile(path, "x\r\n"); }},
    };
    for (const auto& c : cases) {
        TempDirectory dir;
        WriteFile(dir / "hosts.work", "variant\r\n");
        // Named as a user might type the variant: found case-blind, then opened as written.
        if (!c.make(dir / "hosts.WORK")) {
            std::printf("skipped %s: cannot be made here (%s)\n", c.what, std::strerror(errno));
            continue;
        }
        for (const auto& [operation, run] : operations)
            EXPECT_EQ(RunInChild([&, &run = run] { run(dir / "hosts.WORK"); }),
                      static_cast<int>(RuntimeErrorNumber::PathFileAccessError))
                << c.what << ", " << operation << " (" << kTimedOut << " means it blocked)";
        EXPECT_EQ(ReadFile(dir / "hosts.work"), "variant\r\n");
    }
}

TEST(HostileFiles, CreatedFilesAreNeverWritableForOthers)
{
    const std::pair<mode_t, mode_t> cases[] = {{0000, 0664}, {0002, 0664}, {0022, 0644}, {0077, 0600}};
    for (const auto& [mask, expected] : cases) {
        TempDirectory dir;
        const mode_t old = ::umask(mask);
        ReplaceFileAtomically(dir / "hosts", {"new\r\n"});
        AppendToFile(dir / "hosts.appended", "line\r\n");
        ::umask(old);
        EXPECT_EQ(StatusOf(dir / "hosts").st_mode & 07777, expected) << "umask " << mask;
        EXPECT_EQ(StatusOf(dir / "hosts.appended").st_mode & 07777, expected) << "umask " << mask;
    }
}

TEST(HostileFiles, ASwitchRemovesOnlyItsOwnStaleTemporaries)
{
    TempDirectory dir;
    WriteFile(dir / "hosts", "old\r\n");
    const std::vector<std::string> stale = {".velmora-hosts-Ab3xYz", ".velmora-hosts.office-000000"};
    const std::vector<std::string> kept = {
        ".velmora-hosts-Locked",      // held by a running switch
        ".velmora-hosts-Ab3xY",       // one letter short of the pattern
        ".velmora-hosts-Ab3xYz.bak",  // more than the pattern
        "velmora-hosts-Ab3xYz",       // not hidden
        ".velmora~hosts.office.journal",  // another file's journal, left to the recovery at start
        "hosts.office",
    };
    for (const auto& name : stale)
        WriteFile(dir / name, "stale");
    for (const auto& name : kept)
        WriteFile(dir / name, "kept");
    ::mkdir((dir / ".velmora-hosts-Direct").c_str(), 0755);
    ::symlink((dir / "hosts.office").c_str(), (dir / ".velmora-hosts-Linked").c_str());
    ::mkfifo((dir / ".velmora-hosts-Fifo00").c_str(), 0600);
    const int locked = ::open((dir / ".velmora-hosts-Locked").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(locked, LOCK_EX), 0);

    ReplaceFileAtomically(dir / "hosts", {"new\r\n"});
    ::close(locked);

    std::vector<std::string> expected = kept;
    expected.insert(expected.end(), {"hosts", ".velmora-hosts-Direct", ".velmora-hosts-Linked", ".velmora-hosts-Fifo00"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(NamesIn(dir.path()), expected);
    EXPECT_EQ(ReadFile(dir / "hosts.office"), "kept");
}

// What an interrupted in-place rewrite leaves: the marker's text as the rewrite writes it.
std::string Checksum(const std::string& bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char byte : bytes)
        hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string MarkerText(const std::string& oldContent, const std::string& newContent, ino_t inode,
                       const std::string& name)
{
    return "velmora in-place rewrite 1\nold " + std::to_string(oldContent.size()) + " " + Checksum(oldContent) +
           "\nnew " + std::to_string(newContent.size()) + " " + Checksum(newContent) + "\ninode " +
           std::to_string(inode) + "\ntarget " +
           std::to_string(name.size()) + "\n" + name + "\nend\n";
}

TEST(HostileFiles, TheNextStartFinishesAnInterruptedInPlaceRewrite)
{
    const std::string oldContent = "127.0.0.1 localhost\r\n10.0.0.1 old-one\r\n10.0.0.2 old-two\r\n";
    const std::string newContent = "10.9.9.9 brand-new\r\n";
    enum class Marker { Empty, CutShort, Complete, ForAnotherInode };
    struct Case {
        const char* what;
        Marker marker;
        std::string hosts;
        std::optional<std::string> oldCopy, newCopy;
        std::string expectedHosts;
        bool lockedByARunningSwitch = false;
    };
    const Case cases[] = {
        {"killed before the marker was written", Marker::Empty, oldContent, std::nullopt, newContent, oldContent},
        {"marker cut short", Marker::CutShort, oldContent, oldContent.substr(0, 9), newContent, oldContent},
        {"killed before the first write", Marker::Complete, oldContent, oldContent, newContent, oldContent},
        {"killed after emptying the file", Marker::Complete, "", oldContent, newContent, oldContent},
        {"killed halfway through the write", Marker::Complete, newContent.substr(0, 8) + oldContent.substr(8), oldContent,
         newContent, oldContent},
        {"killed after reserving with zeros", Marker::Complete, oldContent + std::string(30, '\0'), oldContent,
         newContent, oldContent},
        {"killed after the write", Marker::Complete, newContent, oldContent, newContent, newContent},
        {"killed while removing the copies", Marker::Complete, newContent, std::nullopt, std::nullopt, newContent},
        {"old copy damaged: completed instead", Marker::Complete, "", oldContent.substr(1), newContent, newContent},
        {"file replaced by a rename since", Marker::ForAnotherInode, "edited\r\n", oldContent, newContent, "edited\r\n"},
        {"a running switch holds it", Marker::Complete, "", oldContent, newContent, "", true},
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
        const ino_t inode = StatusOf(dir / "hosts").st_ino + (c.marker == Marker::ForAnotherInode ? 1 : 0);
        const std::string marker = MarkerText(oldContent, newContent, inode, "hosts");
        WriteFile(dir / ".velmora~hosts.journal", c.marker == Marker::Empty      ? ""
                                                  : c.marker == Marker::CutShort ? marker.substr(0, marker.size() - 4)
                                                                                 : marker);
        const int held = ::open((dir / ".velmora~hosts.journal").c_str(), O_RDONLY);
        if (c.lockedByARunningSwitch)
            ::flock(held, LOCK_EX);

        RecoverInterruptedRewrites(dir.path());
        if (c.lockedByARunningSwitch) {
            EXPECT_EQ(RunInChild([&] { ReplaceFileAtomically(dir / "hosts", {"x"}); }),
                      static_cast<int>(RuntimeErrorNumber::PermissionDenied)) << "a switch waits for nothing";
        }
        ::close(held);

        EXPECT_EQ(ReadFile(dir / "hosts"), c.expectedHosts) << c.what;
        std::vector<std::string> expectedNames{".velmora~notes", "hosts", "hosts.office"};
        if (c.lockedByARunningSwitch)
            expectedNames = {".velmora~hosts.journal", ".velmora~hosts.new", ".velmora~hosts.old", ".velmora~notes",
                             "hosts", "hosts.office"};
        EXPECT_EQ(NamesIn(dir.path()), expectedNames) << c.what;
        EXPECT_EQ(ReadFile(dir / "hosts.office"), "variant\r\n") << c.what;
    }

    // Neither copy intact and the file cut: nothing can be finished, the journal stays for another try.
    TempDirectory dir;
    WriteFile(dir / "hosts", "");
    const std::string marker = MarkerText(oldContent, newContent, StatusOf(dir / "hosts").st_ino, "hosts");
    WriteFile(dir / ".velmora~hosts.journal", marker);
    WriteFile(dir / ".velmora~hosts.old", "damaged");
    EXPECT_THROW(RecoverInterruptedRewrites(dir.path()), RuntimeError);
    EXPECT_EQ(ReadFile(dir / ".velmora~hosts.journal"), marker);
    // A directory that is not there has nothing to recover.
    EXPECT_NO_THROW(RecoverInterruptedRewrites(dir / "missing"));
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

TEST(HostileFiles, ACopyWithManyLoneCrsIsWrittenFromFewPieces)
{
    const std::string dir = "C:\\etc\\";
    struct Case {
        const char* what;
        std::string line;
        std::string expectedLine;
    };
    const Case cases[] = {
        {"lone CRs", "a\r", "a\r\n"},
        {"empty lone-CR lines", "\r", "\r\n"},
        {"mixed line ends", "a\rb\r\nc\n\r", "a\r\nb\r\nc\n\r\n"},
    };
    for (const auto& c : cases) {
        PieceCountingPlatform platform;
        std::string source, expected;
        for (int line = 0; line < 10000; ++line) {
            source += c.line;
            expected += c.expectedLine;
        }
        platform.files[dir + "hosts.big"] = source + "last";
        CopyHostFile(platform, dir + "hosts.big", dir + "hosts", false, "");
        EXPECT_EQ(platform.files[dir + "hosts"], expected + "last\r\n") << c.what;
        EXPECT_LE(platform.pieces, 3u) << c.what;
    }
}

}  // namespace
}  // namespace velmora::linux_platform
