// The real program on a temporary drive, without a display.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/process_runner.h"
#include "tests/support/temp_directory.h"

namespace velmora {
namespace {

using namespace velmora::testing;

// A drive C: whose hosts directory holds the given files.
class SandboxDrive {
public:
    // A drive with `hosts`, `hosts.Default` and two variants, one with mixed line ends.
    SandboxDrive()
    {
        std::filesystem::create_directories(hostsDir());
        put("hosts", "127.0.0.1 localhost\r\n");
        put("hosts.Default", "127.0.0.1 localhost\r\n");
        put("hosts.work", "10.0.0.1 intranet\r10.0.0.2 mail\n10.0.0.3 wiki");
        put("hosts.my work", "10.1.1.1 my\r\n");
    }
    std::string hostsDir() const { return root_ / "Windows/System32/drivers/etc"; }
    std::string file(const std::string& name) const { return hostsDir() + "/" + name; }
    void put(const std::string& name, const std::string& content) const { WriteFile(file(name), content); }
    std::string get(const std::string& name) const { return ReadFile(file(name)); }
    bool has(const std::string& name) const { return std::filesystem::exists(file(name)); }
    const TempDirectory& root() const { return root_; }

    EnvironmentChanges environment() const
    {
        EnvironmentChanges changes = WithoutDisplay();
        changes["VELMORA_DRIVE_C"] = root_.path();
        return changes;
    }

    ProcessResult run(std::vector<std::string> arguments) const
    {
        arguments.insert(arguments.begin(), VELMORA_EXECUTABLE);
        return RunProgram(arguments, environment());
    }

private:
    TempDirectory root_;
};

TEST(WindowlessSwitch, CopiesTheVariantLineByLineAndEndsQuietly)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string expectedHosts;
    };
    const Case cases[] = {
        {{"work"}, "10.0.0.1 intranet\r\n10.0.0.2 mail\n10.0.0.3 wiki\r\n"},
        {{"WORK"}, "10.0.0.1 intranet\r\n10.0.0.2 mail\n10.0.0.3 wiki\r\n"},
        {{"my", "work"}, "10.1.1.1 my\r\n"},   // the words after the program are one name
        {{" Default "}, "127.0.0.1 localhost\r\n"},
    };
    for (const auto& c : cases) {
        const SandboxDrive drive;
        const ProcessResult result = drive.run(c.arguments);
        EXPECT_EQ(result.exitCode, 0) << c.arguments.front() << result.errors;
        EXPECT_EQ(result.errors, "") << c.arguments.front();
        EXPECT_EQ(drive.get("hosts"), c.expectedHosts) << c.arguments.front();
    }
}

TEST(WindowlessSwitch, WithoutADisplayEveryRefusalIsPrintedAndHasItsOwnExitCode)
{
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        std::vector<std::string> missingFiles;
        int exitCode;
        std::string message;
        bool backupMade = false;  // an OK-only box counts as read without a display, so start-up goes on
    };
    const Case cases[] = {
        {"asterisk", {"*"}, {}, 2, "Velmora: Invalid Commandline:  *\n"},
        {"escape", {"x\\..\\..\\..\\..\\secret"}, {}, 2, "Invalid Commandline:  x\\..\\..\\..\\..\\secret"},
        {"no backup", {"work"}, {"hosts.Default"}, 2,
         "Velmora: Default File not found! - Commandline skiped!\nCommandline: work\n", true},
        {"unknown variant", {"nope"}, {}, 2, "Velmora: Hostfile not found:nope\n"},
        {"no hosts", {}, {"hosts"}, 3,
         "Host-File not found!: File not found: \nC:\\Windows\\System32\\drivers\\etc\\\n"},
        {"window wanted", {}, {}, 4, "the window cannot be opened"},
        {"first start", {}, {"hosts.Default"}, 4, "First Start - Creating Backup!: First Start?", true},
        {"no hosts after a refusal", {"*"}, {"hosts"}, 3, "Host-File not found!"},
    };
    for (const auto& c : cases) {
        const SandboxDrive drive;
        for (const std::string& name : c.missingFiles)
            std::filesystem::remove(drive.file(name));
        const ProcessResult result = drive.run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what << ": " << result.errors;
        EXPECT_NE(result.errors.find(c.message), std::string::npos) << c.what << ": " << result.errors;
        if (drive.has("hosts")) {
            EXPECT_EQ(drive.get("hosts"), "127.0.0.1 localhost\r\n") << c.what;
        }
        for (const std::string& name : c.missingFiles)
            EXPECT_EQ(drive.has(name), c.backupMade && name == "hosts.Default") << c.what << ": " << name;
        if (c.backupMade) {
            EXPECT_EQ(drive.get("hosts.Default"), "127.0.0.1 localhost\r\n") << c.what;
        }
    }
}

TEST(WindowlessSwitch, ADisplayThatDoesNotAnswerIsNoDisplayAndAnEmptyDriveVariableIsRefused)
{
    struct Case {
        const char* what;
        EnvironmentChanges environment;
        int exitCode;
        std::string message;
    };
    const Case cases[] = {
        {"stale ssh forward", {{"DISPLAY", "localhost:97.0"}}, 3, "Host-File not found!: File not found:"},
        {"no local server", {{"DISPLAY", "unix:97"}}, 3, "Host-File not found!: File not found:"},
        {"xcb asked for", {{"DISPLAY", ":97"}, {"QT_QPA_PLATFORM", "xcb"}}, 3, "Host-File not found!"},
        {"dead wayland", {{"WAYLAND_DISPLAY", "/nonexistent/wayland-9"}}, 3, "Host-File not found!"},
        {"empty drive", {{"VELMORA_DRIVE_C", ""}}, 6, "VELMORA_DRIVE_C is set but empty"},
        {"relative drive", {{"VELMORA_DRIVE_C", "drive"}}, 6, "VELMORA_DRIVE_C is set but is not an absolute path"},
    };
    for (const auto& c : cases) {
        const SandboxDrive drive;
        std::filesystem::remove(drive.file("hosts"));
        EnvironmentChanges environment = drive.environment();
        for (const auto& [name, value] : c.environment)
            environment[name] = value;
        // A name no system has as a variant: whatever goes wrong, nothing real is switched.
        const ProcessResult result =
            RunProgram({VELMORA_EXECUTABLE, c.exitCode == 6 ? "velmora-test-no-such-variant" : ""}, environment);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what << ": " << result.errors;
        EXPECT_NE(result.errors.find(c.message), std::string::npos) << c.what << ": " << result.errors;
    }
}

TEST(WindowlessSwitch, AReadOnlyHostsFileEndsWithTheErrorReportAndKeepsItsContent)
{
    const SandboxDrive drive;
    ::chmod(drive.file("hosts").c_str(), 0444);
    const ProcessResult result = drive.run({"work"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find("Run-time error '70':\n\nPermission denied\n\n" + drive.file("hosts")),
              std::string::npos)
        << result.errors;
    EXPECT_EQ(drive.get("hosts"), "127.0.0.1 localhost\r\n");
}

TEST(WindowlessSwitch, NeverReadsThroughASymlinkedVariant)
{
    const SandboxDrive drive;
    WriteFile(drive.root() / "secret", "root:x:0:0\n");
    ASSERT_EQ(::symlink((drive.root() / "secret").c_str(), drive.file("hosts.evil").c_str()), 0);
    const ProcessResult result = drive.run({"evil"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.errors.find("Hostfile not found:evil"), std::string::npos);
    EXPECT_EQ(drive.get("hosts"), "127.0.0.1 localhost\r\n");
}

TEST(WindowlessSwitch, AMissingHostsDirectoryInASandboxIsAMissingHostsFile)
{
    TempDirectory empty;
    EnvironmentChanges environment = WithoutDisplay();
    environment["VELMORA_DRIVE_C"] = empty.path();
    const ProcessResult result = RunProgram({VELMORA_EXECUTABLE}, environment);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_NE(result.errors.find("Host-File not found!"), std::string::npos);
}

// Starts the program, kills it after `delay` and tells whether the kill ended it (rather than its own end).
int KilledAfter(std::chrono::microseconds delay, const std::vector<std::string>& argv,
                const EnvironmentChanges& environment)
{
    const pid_t pid = StartProgram(argv, environment);
    std::this_thread::sleep_for(delay);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? 1 : 0;
}

TEST(WindowlessSwitch, KilledAtAnyMomentHostsHoldsTheOldOrTheNewContent)
{
    const SandboxDrive drive;
    std::string first, second;
    for (int line = 0; line < 100000; ++line) {
        first += "10.0." + std::to_string(line % 250) + ".1 first-" + std::to_string(line) + ".example\r\n";
        second += "10.9." + std::to_string(line % 250) + ".2 second-" + std::to_string(line) + ".example\r\n";
    }
    drive.put("hosts.first", first);
    drive.put("hosts.second", second);
    drive.put("hosts", first);

    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> delayMicroseconds(0, 30000);
    int interrupted = 0;
    for (int round = 0; round < 60; ++round) {
        interrupted += KilledAfter(std::chrono::microseconds(delayMicroseconds(random)),
                                   {VELMORA_EXECUTABLE, round % 2 ? "first" : "second"}, drive.environment());
        const std::string hosts = drive.get("hosts");
        ASSERT_TRUE(hosts == first || hosts == second) << "round " << round << ": " << hosts.size() << " bytes";
    }
    EXPECT_GT(interrupted, 0) << "no switch was ever interrupted; the test proves nothing";
    RecordProperty("interrupted", interrupted);
}


std::string ManyLines(const std::string& name, int lines)
{
    std::string text;
    for (int line = 0; line < lines; ++line)
        text += "10." + std::to_string(line % 250) + ".0.1 " + name + "-" + std::to_string(line) + ".example\r\n";
    return text;
}

std::vector<std::string> LeftBehind(const SandboxDrive& drive)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(drive.hostsDir()))
        if (entry.path().filename().string().starts_with(".velmora") ||
            entry.path().filename().string().starts_with(".hosts~kept-"))  // hosts was always a variant's copy
            names.push_back(entry.path().filename());
    return names;
}

struct FinishedRun {
    int exitCode = -1;
    std::string errors;
};

// Two switches of one drive to two different variants, started at the same instant: both wait at a gate
// (a shared flock on a file of the test's that the test holds exclusively) and go on together.
std::pair<FinishedRun, FinishedRun> RunPair(const SandboxDrive& drive, const std::vector<std::string>& asUser,
                                            const TempDirectory& logs)
{
    const std::string gate = logs / "gate";
    const int gateFd = ::open(gate.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ::flock(gateFd, LOCK_EX);
    std::vector<pid_t> pids;
    for (const char* variant : {"first", "second"}) {
        std::vector<std::string> argv{"/usr/bin/flock", "--shared", gate};
        argv.insert(argv.end(), asUser.begin(), asUser.end());
        argv.insert(argv.end(), {VELMORA_EXECUTABLE, variant});
        pids.push_back(StartProgram(argv, drive.environment(), "/dev/null", logs / variant));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::close(gateFd);
    FinishedRun runs[2];
    for (int which = 0; which < 2; ++which) {
        int status = 0;
        ::waitpid(pids[which], &status, 0);
        runs[which].exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        runs[which].errors = ReadFile(logs / (which == 0 ? "first" : "second"));
    }
    return {runs[0], runs[1]};
}

// Every path a switch takes (renamed over; rewritten in place under a journal, for a bind mount; rewritten
// in place without one, for a user who may write hosts but not its folder), many same-instant pairs each:
// hosts always ends as exactly one whole copy, a run that ended with 0 left its copy unless the other run
// switched after it, and a run that did not switch says that another switch was in progress.
TEST(ConcurrentSwitches, EndWithExactlyOneWholeCopyThatASuccessfulRunMade)
{
    enum class Path { Renamed, InPlaceUnderJournal, InPlaceWithoutJournal };
    struct Case {
        const char* what;
        Path path;
        int pairs;  // the unguarded in-place rewrite went wrong in about one pair of fifty
    };
    const Case cases[] = {
        {"renamed over", Path::Renamed, 30},
        {"a bind-mounted hosts", Path::InPlaceUnderJournal, 30},
        {"a user who may write hosts but not its folder", Path::InPlaceWithoutJournal, 120},
    };
    const bool root = ::geteuid() == 0;
    const std::string original = "127.0.0.1 localhost\r\n";
    // Of nearly the same length, so that both switches take about as long to get to their writes.
    const std::string first = ManyLines("first", 60000);
    const std::string second = ManyLines("second", 60000);
    int checkedPaths = 0;
    for (const Case& c : cases) {
        const SandboxDrive drive;
        const TempDirectory logs;
        drive.put("hosts.first", first);
        drive.put("hosts.second", second);
        drive.put("hosts", original);
        std::vector<std::string> asUser;
        std::string bound;
        if (c.path == Path::InPlaceUnderJournal) {
            if (!root)
                continue;  // a bind mount needs root
            drive.put("bound", original);
            bound = drive.file("bound");
            if (::mount(bound.c_str(), drive.file("hosts").c_str(), nullptr, MS_BIND, nullptr) != 0)
                continue;  // this machine allows no bind mounts
        }
        if (c.path == Path::InPlaceWithoutJournal) {
            if (root) {
                // Root may write every folder: the switches run as nobody, who owns hosts alone.
                ::chmod(drive.root().path().c_str(), 0755);
                ASSERT_EQ(::chown(drive.file("hosts").c_str(), 65534, 65534), 0);
                asUser = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
            } else {
                ::chmod(drive.hostsDir().c_str(), 0555);
            }
        }
        ++checkedPaths;
        int bothSwitched = 0;
        for (int pair = 0; pair < c.pairs; ++pair) {
            drive.put("hosts", original);
            const auto [a, b] = RunPair(drive, asUser, logs);
            const std::string hosts = drive.get("hosts");
            const std::string label = std::string(c.what) + ", pair " + std::to_string(pair);
            ASSERT_TRUE(hosts == first || hosts == second || (a.exitCode != 0 && b.exitCode != 0 && hosts == original))
                << label << ": hosts holds " << hosts.size() << " bytes that are no whole copy";
            for (const FinishedRun& run : {a, b})
                if (run.exitCode != 0) {
                    EXPECT_EQ(run.exitCode, 1) << label << ": " << run.errors;
                    EXPECT_NE(run.errors.find("Run-time error '55':\n\nFile already open"), std::string::npos)
                        << label << ": " << run.errors;
                    EXPECT_NE(run.errors.find("another switch of hosts is in progress"), std::string::npos)
                        << label << ": " << run.errors;
                }
            if (a.exitCode == 0 && b.exitCode != 0) {
                EXPECT_EQ(hosts, first) << label << ": the only run that switched";
            }
            if (b.exitCode == 0 && a.exitCode != 0) {
                EXPECT_EQ(hosts, second) << label << ": the only run that switched";
            }
            bothSwitched += a.exitCode == 0 && b.exitCode == 0 ? 1 : 0;
            EXPECT_EQ(LeftBehind(drive), std::vector<std::string>{}) << label;
        }
        EXPECT_GT(bothSwitched, 0) << c.what << ": the second switch waits for the first, it is not turned away";
        if (!bound.empty())
            ::umount2(drive.file("hosts").c_str(), MNT_DETACH);
        ::chmod(drive.hostsDir().c_str(), 0755);
    }
    RecordProperty("checked_paths", checkedPaths);
}

// A switch waits for the lock that another holds on hosts, and switches when it is given up in time; held
// for longer than a switch waits, it ends with the report and hosts keeps its content.
TEST(ConcurrentSwitches, WaitForAHeldSwitchLockOrSayThatAnotherSwitchIsInProgress)
{
    struct Case {
        const char* what;
        std::optional<std::chrono::milliseconds> heldFor;  // nothing: for as long as the switch runs
        int exitCode;
        std::string hosts;
    };
    const Case cases[] = {
        {"given up after a second", std::chrono::milliseconds(1000), 0, "10.1.1.1 my\r\n"},
        {"held too long", std::nullopt, 1, "127.0.0.1 localhost\r\n"},
    };
    for (const Case& c : cases) {
        const SandboxDrive drive;
        // What another switch holds: a write lock on all of hosts (a process's lock conflicts with the program's).
        const int holder = ::open(drive.file("hosts").c_str(), O_RDWR | O_CLOEXEC);
        struct flock whole {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        ASSERT_EQ(::fcntl(holder, F_SETLK, &whole), 0);
        std::thread release;
        if (c.heldFor)
            release = std::thread([&] {
                std::this_thread::sleep_for(*c.heldFor);
                ::close(holder);
            });
        const ProcessResult result = drive.run({"my work"});
        if (release.joinable())
            release.join();
        else
            ::close(holder);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what << ": " << result.errors;
        EXPECT_EQ(drive.get("hosts"), c.hosts) << c.what;
        if (c.exitCode != 0) {
            EXPECT_NE(result.errors.find("Run-time error '55':\n\nFile already open\n\n" + drive.file("hosts") +
                                         "\nanother switch of hosts is in progress"),
                      std::string::npos)
                << c.what << ": " << result.errors;
        }
    }
}

// The hidden copies a switch keeps of hosts, by name (oldest first): `.hosts~kept-` and a time stamp.
std::vector<std::string> KeptCopies(const SandboxDrive& drive)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(drive.hostsDir())) {
        const std::string name = entry.path().filename();
        if (name.starts_with(".hosts~kept-") && name.size() == std::string(".hosts~kept-").size() + 22)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A switch keeps a hosts that no variant's copy holds as a hidden copy with its owner and mode, and nothing
// when hosts is a variant's copy; the five newest stay, and only its own copies are ever removed; where
// nothing can be made beside hosts, the switch goes on without one.
TEST(KeptCopies, ASwitchKeepsWhatNoVariantHoldsAndTheFiveNewestStay)
{
    const bool root = ::geteuid() == 0;
    struct Case {
        const char* what;
        std::string hosts;
        bool kept;
        bool folderWritable = true;
        bool hostsReadable = true;
    };
    const Case cases[] = {
        {"a line typed in by hand", "127.0.0.1 localhost\r\n10.9.9.9 by-hand\r\n", true},
        {"a variant's copy", "127.0.0.1 localhost\r\n", false},
        {"a variant as stored, not as a switch writes it", "10.1.1.1 my", true},
        {"a folder the switch may not write", "10.9.9.9 by-hand\r\n", false, false},
        {"a hosts the switch may write but not read", "10.9.9.9 by-hand\r\n", false, true, false},
    };
    for (const Case& c : cases) {
        const SandboxDrive drive;
        drive.put("hosts", c.hosts);
        ::chmod(drive.file("hosts").c_str(), 0640);
        if (root) {
            ASSERT_EQ(::chown(drive.file("hosts").c_str(), 1234, 2345), 0);
        }
        // Names a clean-up must never take for its own.
        for (const char* lookalike : {".hosts~kept-20000101-000000-00000", ".hosts~kept-20000101-000000-000000.bak",
                                             ".hosts.Default~kept-20000101-000000-000000"})
            drive.put(lookalike, "not a kept copy of hosts\n");
        std::vector<std::string> asUser;
        if (!c.folderWritable) {
            // Only hosts may be written: as nobody, who owns it, where root may write every folder.
            ::chmod(drive.root().path().c_str(), 0755);
            if (root) {
                ASSERT_EQ(::chown(drive.file("hosts").c_str(), 65534, 65534), 0);
                asUser = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
            }
            ::chmod(drive.hostsDir().c_str(), 0555);
        }
        if (!c.hostsReadable) {
            ::chmod(drive.file("hosts").c_str(), 0200);
            if (root) {
                ASSERT_EQ(::chown(drive.file("hosts").c_str(), 65534, 65534), 0);
                ::chmod(drive.root().path().c_str(), 0755);
                ::chmod(drive.hostsDir().c_str(), 0777);
                asUser = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
            }
        }
        for (int round = 0; round < (c.kept ? 7 : 1); ++round) {
            const std::string old = c.hosts + std::string(static_cast<std::size_t>(round), '#');
            drive.put("hosts", old);
            std::vector<std::string> argv = asUser;
            argv.insert(argv.end(), {VELMORA_EXECUTABLE, "my work"});
            const ProcessResult result = RunProgram(argv, drive.environment());
            ASSERT_EQ(result.exitCode, 0) << c.what << ": " << result.errors;
            EXPECT_EQ(drive.get("hosts"), "10.1.1.1 my\r\n") << c.what;
            const std::vector<std::string> kept = KeptCopies(drive);
            ASSERT_EQ(kept.size(), c.kept ? std::min<std::size_t>(round + 1, 5) : 0u) << c.what << ", round " << round;
            if (!c.kept)
                continue;
            EXPECT_EQ(drive.get(kept.back()), old) << c.what << ": the newest copy holds what was replaced";
            struct stat status {};
            ASSERT_EQ(::stat(drive.file(kept.back()).c_str(), &status), 0);
            EXPECT_EQ(status.st_mode & 07777, 0640u) << c.what;
            if (root) {
                EXPECT_EQ(status.st_uid, 1234u) << c.what;
                EXPECT_EQ(status.st_gid, 2345u) << c.what;
            }
        }
        if (c.kept) {
            // After seven switches the five newest copies stay, oldest first.
            const std::vector<std::string> kept = KeptCopies(drive);
            for (std::size_t at = 0; at < kept.size(); ++at)
                EXPECT_EQ(drive.get(kept[at]), c.hosts + std::string(at + 2, '#')) << c.what;
        }
        ::chmod(drive.hostsDir().c_str(), 0755);
        EXPECT_TRUE(drive.has(".hosts~kept-20000101-000000-00000") && drive.has(".hosts~kept-20000101-000000-000000.bak") &&
                    drive.has(".hosts.Default~kept-20000101-000000-000000"))
            << c.what << ": only the switch's own copies are ever removed";
    }
}

// Killed at any moment of a switch that keeps a copy, hosts holds its old or its new content, and a kept copy
// is never a part of the old one.
TEST(KeptCopies, AKilledSwitchLeavesNoHalfCopy)
{
    const SandboxDrive drive;
    const std::string unique = ManyLines("by-hand", 100000);
    const std::string variant = ManyLines("first", 100000);
    drive.put("hosts.first", variant);
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> delayMicroseconds(0, 40000);
    int interrupted = 0;
    for (int round = 0; round < 40; ++round) {
        drive.put("hosts", unique);
        interrupted += KilledAfter(std::chrono::microseconds(delayMicroseconds(random)), {VELMORA_EXECUTABLE, "first"},
                                   drive.environment());
        const std::string hosts = drive.get("hosts");
        ASSERT_TRUE(hosts == unique || hosts == variant) << "round " << round << ": " << hosts.size() << " bytes";
        for (const std::string& kept : KeptCopies(drive))
            ASSERT_EQ(drive.get(kept), unique) << "round " << round << ": " << kept;
    }
    EXPECT_GT(interrupted, 0) << "no switch was ever interrupted; the test proves nothing";
}

}  // namespace
}  // namespace velmora
