// The privileged helper as root on the sandbox drive compiled into its test build, and through pkexec and
// a real polkitd as a test user where the machine allows it.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <csignal>
#include <sys/stat.h>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>

#include "shell/linux/drive_mapping.h"
#include "shell/linux/linux_platform.h"
#include "shell/linux/privileged_helper.h"
#include "shell/runtime_error.h"
#include "tests/support/process_runner.h"
#include "tests/support/temp_directory.h"

namespace velmora {
namespace {

using namespace velmora::testing;
namespace fs = std::filesystem;

const std::string kHelper = VELMORA_SANDBOX_HELPER;
const std::string kDrive = VELMORA_SANDBOX_HELPER_DRIVE;
const std::string kOriginal = "127.0.0.1 localhost\r\n";

// The helper's one sandbox drive, filled afresh and held under a lock, so that tests run in parallel by
// ctest take turns on it.
class HelperDrive {
public:
    HelperDrive()
    {
        fs::create_directories(kDrive);
        lock_ = ::open((kDrive + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        ::flock(lock_, LOCK_EX);
        fs::remove_all(hostsDir());
        fs::create_directories(hostsDir());
        fs::permissions(kDrive, fs::perms(0755));
        put("hosts", kOriginal);
        put("hosts.Default", kOriginal);
        put("hosts.work", "10.0.0.1 intranet\n");
    }
    ~HelperDrive()
    {
        fs::remove_all(kDrive + "/Windows");
        ::flock(lock_, LOCK_UN);
        ::close(lock_);
    }
    static std::string hostsDir() { return kDrive + "/Windows/System32/drivers/etc"; }
    static std::string file(const std::string& name) { return hostsDir() + "/" + name; }
    static void put(const std::string& name, const std::string& content) { WriteFile(file(name), content); }
    static std::string get(const std::string& name) { return ReadFile(file(name)); }

private:
    int lock_ = -1;
};

ProcessResult RunHelper(const std::vector<std::string>& arguments, const EnvironmentChanges& environment = {})
{
    std::vector<std::string> argv{kHelper};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunProgram(argv, environment);
}

bool RunningAsRoot()
{
    return ::geteuid() == 0;
}

TEST(SwitchHelperAsRoot, RefusesPathsLinksAndStrangersAndChangesNothing)
{
    if (!RunningAsRoot())
        GTEST_SKIP() << "the helper's refusals and switches are run as root";
    struct Case {
        const char* what;
        std::vector<std::string> argv;  // empty program: the helper itself
        int exitCode;
        std::string message;
    };
    const std::vector<std::string> asNobody{"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    std::vector<Case> cases = {
        {"a path", {"switch", "../../../../etc/hostname"}, 2, "not a variant name"},
        {"dot dot", {"switch", ".."}, 2, "not a variant name"},
        {"a link", {"switch", "link"}, 2, "no such variant: hosts.link"},
        {"a directory", {"switch", "folder"}, 2, "no such variant: hosts.folder"},
        {"no such variant", {"switch", "nope"}, 2, "no such variant: hosts.nope"},
        {"a verb-free name", {"work"}, 2, "usage:"},
    };
    Case stranger{"a start without pkexec by another user", asNobody, 5, "only pkexec or root may start"};
    stranger.argv.insert(stranger.argv.end(), {kHelper, "switch", "work"});
    cases.push_back(stranger);

    for (const Case& c : cases) {
        const HelperDrive drive;
        WriteFile(kDrive + "/secret", "root:x:0:0\n");
        fs::create_symlink(kDrive + "/secret", HelperDrive::file("hosts.link"));
        fs::create_directory(HelperDrive::file("hosts.folder"));
        const bool helperItself = c.argv.front() != asNobody.front();
        const ProcessResult result = helperItself ? RunHelper(c.argv) : RunProgram(c.argv, {});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what << ": " << result.errors;
        EXPECT_NE(result.errors.find(c.message), std::string::npos) << c.what << ": " << result.errors;
        EXPECT_EQ(HelperDrive::get("hosts"), kOriginal) << c.what;
        fs::remove(kDrive + "/secret");
    }
}

TEST(SwitchHelperAsRoot, SwitchesAndBacksUpOnItsCompiledInDriveWhateverTheEnvironmentSays)
{
    if (!RunningAsRoot())
        GTEST_SKIP() << "the helper's refusals and switches are run as root";
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        bool removeBackup;
        std::string file;
        std::string content;
    };
    const Case cases[] = {
        {"switch", {"switch", "WORK"}, false, "hosts", "10.0.0.1 intranet\n\r\n"},
        {"backup", {"backup"}, true, "hosts.Default", kOriginal},
        {"an existing backup is kept", {"backup"}, false, "hosts.Default", kOriginal},
    };
    for (const Case& c : cases) {
        const HelperDrive drive;
        TempDirectory elsewhere;
        if (c.removeBackup)
            fs::remove(HelperDrive::file("hosts.Default"));
        ::chmod(HelperDrive::file("hosts").c_str(), 0644);
        const ProcessResult result =
            RunHelper(c.arguments, {{"VELMORA_DRIVE_C", elsewhere.path()}, {"HOME", elsewhere.path()}});
        EXPECT_EQ(result.exitCode, 0) << c.what << ": " << result.errors;
        EXPECT_EQ(HelperDrive::get(c.file), c.content) << c.what;
        struct stat status {};
        ASSERT_EQ(::stat(HelperDrive::file(c.file).c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0644u) << c.what << ": readable by all, as /etc/hosts is";
        EXPECT_TRUE(fs::is_empty(elsewhere.path())) << c.what << ": the environment is not read";
    }
}

TEST(SwitchHelperAsRoot, KeepsAHostsThatNoVariantHoldsBeforeItSwitches)
{
    if (!RunningAsRoot())
        GTEST_SKIP() << "the helper's refusals and switches are run as root";
    const HelperDrive drive;
    const std::string byHand = kOriginal + "10.9.9.9 by-hand\r\n";
    HelperDrive::put("hosts", byHand);
    const ProcessResult result = RunHelper({"switch", "work"});
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    std::vector<std::string> kept;
    for (const auto& entry : fs::directory_iterator(HelperDrive::hostsDir()))
        if (entry.path().filename().string().starts_with(".hosts~kept-"))
            kept.push_back(entry.path());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadFile(kept.front()), byHand);
    EXPECT_EQ(HelperDrive::get("hosts"), "10.0.0.1 intranet\n\r\n");
}

TEST(SwitchHelperAsRoot, TakesTheSameSwitchLockAsTheProgram)
{
    if (!RunningAsRoot())
        GTEST_SKIP() << "the helper's refusals and switches are run as root";
    const HelperDrive drive;
    // Another switch holds hosts for longer than a switch waits: the helper changes nothing and says why.
    const int holder = ::open(HelperDrive::file("hosts").c_str(), O_RDWR | O_CLOEXEC);
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(holder, F_SETLK, &whole), 0);
    const ProcessResult result = RunHelper({"switch", "work"});
    ::close(holder);
    EXPECT_EQ(result.exitCode, 1) << result.errors;
    EXPECT_NE(result.errors.find("velmora-switch: Run-time error '55':\n\nFile already open"), std::string::npos)
        << result.errors;
    EXPECT_NE(result.errors.find("another switch of hosts is in progress"), std::string::npos) << result.errors;
    EXPECT_EQ(HelperDrive::get("hosts"), kOriginal);
}

TEST(HelperOutcome, ARefusalIsARefusalAPkexecThatCouldNotAskSaysWhyAndEveryOtherFailureIsAnError)
{
    enum class Kind { Made, Refused, NotAsked, Failed };
    struct Case {
        int exitCode;
        std::string errors;
        Kind kind;
        std::string said;  // NotAsked: pkexec's words as told; Failed: the helper's words in the detail
        RuntimeErrorNumber number = RuntimeErrorNumber::PathFileAccessError;
    };
    const std::string noVariant = "velmora-switch: no such variant: hosts.x\n";
    const Case cases[] = {
        {0, "", Kind::Made, ""},
        {126, "", Kind::Refused, ""},
        {127, "Error executing command as another user: Not authorized\n\nThis incident has been reported.\n",
         Kind::Refused, ""},
        {5, "velmora-switch: only pkexec or root may start this program\n", Kind::Refused, ""},
        {127, "Error executing command as another user: No authentication agent found.\n", Kind::NotAsked,
         "pkexec: Error executing command as another user: No authentication agent found."},
        {127,
         "Error checking for authorization org.example.velmora.switch: GDBus.Error:org.freedesktop.PolicyKit1."
         "Error.Failed: No session for cookie\n",
         Kind::NotAsked,
         "pkexec: Error checking for authorization org.example.velmora.switch: GDBus.Error:org.freedesktop."
         "PolicyKit1.Error.Failed: No session for cookie"},
        {127, "Error getting authority: Error initializing authority: Could not connect: No such file\n",
         Kind::NotAsked, "pkexec: Error getting authority: Error initializing authority: Could not connect: No such file"},
        {127, "", Kind::NotAsked, "pkexec: ended with code 127"},
        {1, noVariant, Kind::Failed, "no such variant: hosts.x"},
        {2, noVariant, Kind::Failed, "no such variant: hosts.x", RuntimeErrorNumber::BadFileNameOrNumber},
        {3, noVariant, Kind::Failed, "no such variant: hosts.x", RuntimeErrorNumber::FileNotFound},
        {-1, noVariant, Kind::Failed, "no such variant: hosts.x"},
    };
    const std::string instead = linux_platform::WhatToDoWithoutAnAgent("sudo velmora x");
    for (const Case& c : cases) {
        const std::string label = std::to_string(c.exitCode) + " " + c.errors;
        try {
            const PrivilegedChange outcome =
                linux_platform::OutcomeOfHelperRun(c.exitCode, c.errors, "/etc/hosts", instead);
            EXPECT_EQ(outcome, c.kind == Kind::Made ? PrivilegedChange::Made : PrivilegedChange::Refused) << label;
            EXPECT_TRUE(c.kind == Kind::Made || c.kind == Kind::Refused) << label;
        } catch (const ConsentNotAsked& error) {
            EXPECT_EQ(c.kind, Kind::NotAsked) << label;
            EXPECT_EQ(error.what(), c.said + "\r\r" + instead) << label;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(c.kind, Kind::Failed) << label;
            EXPECT_EQ(error.number(), c.number) << label;
            EXPECT_EQ(error.failedPath(), "/etc/hosts");
            EXPECT_NE(error.detail().find(c.said), std::string::npos) << error.detail();
        }
    }
    EXPECT_NE(instead.find("pkttyagent"), std::string::npos);
    EXPECT_TRUE(instead.ends_with("or as root: sudo velmora x")) << instead;
}

TEST(HelperOutcome, TheHelperLiesInLibexecBesideTheProgramsBin)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/velmora", "/usr/libexec/velmora/velmora-switch"},
        {"/opt/velmora/bin/velmora", "/opt/velmora/libexec/velmora/velmora-switch"},
        {"/bin/velmora", "/libexec/velmora/velmora-switch"},
    };
    for (const auto& [program, helper] : cases)
        EXPECT_EQ(linux_platform::SwitchHelperPathFor(program), helper) << program;
}

TEST(ProgramOnASandboxDrive, NeverAsksForRightsAndReportsAnUnwritableDirectoryAsBefore)
{
    if (!RunningAsRoot())
        GTEST_SKIP() << "a directory the test user may not write is made as root";
    // A sandbox whose hosts directory belongs to root: the program, run as nobody, must not start pkexec
    // (which would end in code 5) but fail its own write with the run-time error report.
    TempDirectory root;
    const std::string etc = root / "Windows/System32/drivers/etc";
    fs::create_directories(etc);
    WriteFile(etc + "/hosts", kOriginal);
    WriteFile(etc + "/hosts.Default", kOriginal);
    WriteFile(etc + "/hosts.work", "10.0.0.1 intranet\n");
    fs::permissions(root.path(), fs::perms(0755));
    EnvironmentChanges environment = WithoutDisplay();
    environment["VELMORA_DRIVE_C"] = root.path();
    const ProcessResult result = RunProgram(
        {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", VELMORA_EXECUTABLE, "work"},
        environment);
    EXPECT_EQ(result.exitCode, 1) << result.errors;
    EXPECT_NE(result.errors.find("Permission denied"), std::string::npos) << result.errors;
    EXPECT_EQ(ReadFile(etc + "/hosts"), kOriginal);
}

TEST(ProgramWithoutRights, ItsOwnWritesSayTheyNeedRightsAndAnUnauthorizedSwitchIsRefused)
{
    if (!RunningAsRoot())
        GTEST_SKIP() << "the user without rights is made by dropping root's";
    // The Linux platform over a stand-in for /etc that belongs to root, run in a child as nobody: every
    // write is refused before anything is touched, and a switch goes to pkexec, which cannot ask nobody for
    // a password (no session, no agent, no terminal), so the helper never runs and the switch says why.
    TempDirectory root;
    const std::string etc = root / "etc";
    fs::create_directories(etc);
    fs::permissions(root.path(), fs::perms(0755));
    WriteFile(etc + "/hosts", kOriginal);
    WriteFile(etc + "/hosts.work", "10.0.0.1 intranet\n");
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)
            ::_exit(90);
        int argc = 1;
        char name[] = "velmora";
        char* argv[] = {name, nullptr};
        linux_platform::LinuxPlatform platform(argc, argv,
                                               linux_platform::DriveMapping({root / "drive", etc}));
        const std::string dir = "C:\\Windows\\System32\\drivers\\etc\\";
        int failures = 0;
        const auto refused = [&](auto&& write) {
            try {
                write();
            } catch (const NeedsAdministratorRights&) {
                return;
            } catch (...) {
            }
            ++failures;
        };
        refused([&] { platform.replaceTextFile(dir + "hosts", {"x\r\n"}); });
        refused([&] { platform.appendTextFile(dir + "hosts.work", "x\r\n"); });
        refused([&] { platform.deleteFile(dir + "hosts.work"); });
        refused([&] { platform.createTextFileIfAbsent(dir + "hosts.new", ""); });
        try {
            platform.switchWithPrivileges(dir, "work");
            failures += 10;
        } catch (const ConsentNotAsked& error) {
            if (!std::string(error.what()).starts_with("pkexec: ") ||
                !std::string(error.what()).ends_with("or as root: sudo velmora work"))
                failures += 10;
        }
        ::_exit(failures);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "refusals missed (units), or the switch did not say that pkexec could "
                                         "not ask (tens)";
    EXPECT_EQ(ReadFile(etc + "/hosts"), kOriginal);
    EXPECT_TRUE(fs::exists(etc + "/hosts.work"));
    EXPECT_FALSE(fs::exists(etc + "/hosts.new"));
}

// --- Through polkit -----------------------------------------------------------------------------------

constexpr char kAllowedUser[] = "velmora-polkit-yes";
constexpr char kDeniedUser[] = "velmora-polkit-no";
constexpr char kTestActionId[] = "org.example.velmora.test.switch";
const std::string kPolicyFile = "/usr/share/polkit-1/actions/org.example.velmora.test.policy";
const std::string kRuleFile = "/etc/polkit-1/rules.d/10-velmora-test.rules";

const std::string kBusSocket = "/run/dbus/system_bus_socket";
const std::string kBusPidFile = "/run/dbus/pid";

// Whether a system bus listens on its socket (a socket file alone may be left by a bus that is gone).
bool BusAnswers()
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    kBusSocket.copy(address.sun_path, sizeof address.sun_path - 1);
    const bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answers;
}

int Run(const std::vector<std::string>& argv)
{
    return RunProgram(argv, {}).exitCode;
}

// A system bus, polkitd, a test policy for the sandbox helper, two test users and a rule that allows one
// and denies the other. Everything it adds it removes again, the bus too when it started it.
class PolkitSetUp {
public:
    PolkitSetUp()
    {
        if (!RunningAsRoot()) {
            reason_ = "setting up polkit needs root";
            return;
        }
        for (const char* program : {"/usr/bin/pkexec", "/usr/bin/dbus-daemon", "/usr/lib/polkit-1/polkitd"})
            if (::access(program, X_OK) != 0) {
                reason_ = std::string(program) + " is not installed (scripts/install-deps.sh)";
                return;
            }
        if (!BusAnswers()) {
            // A socket left by a bus that is gone would keep a new one from starting.
            fs::remove(kBusSocket);
            fs::remove(kBusPidFile);
            fs::create_directories("/run/dbus");
            if (RunProgram({"/usr/bin/dbus-daemon", "--system", "--fork", "--print-pid"}, {}).exitCode != 0) {
                reason_ = "no system bus could be started";
                return;
            }
            startedBus_ = true;
        }
        for (const char* user : {kAllowedUser, kDeniedUser}) {
            Run({"/usr/sbin/userdel", user});
            if (Run({"/usr/sbin/useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", user}) != 0) {
                reason_ = std::string("the test user ") + user + " could not be added";
                return;
            }
        }
        std::ofstream(kPolicyFile) << R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE policyconfig PUBLIC "-//freedesktop//DTD PolicyKit Policy Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/PolicyKit/1/policyconfig.dtd">
<policyconfig>
  <action id=")" << kTestActionId << R"(">
    <description>Velmora test switch</description>
    <message>Velmora test switch: $(command_line)</message>
    <defaults>
      <allow_any>auth_admin</allow_any><allow_inactive>auth_admin</allow_inactive>
      <allow_active>auth_admin_keep</allow_active>
    </defaults>
    <annotate key="org.freedesktop.policykit.exec.path">)" << kHelper << R"(</annotate>
    <annotate key="org.freedesktop.policykit.exec.argv1">switch</annotate>
  </action>
</policyconfig>
)";
        std::ofstream(kRuleFile) << "polkit.addRule(function(action, subject) {\n"
                                 << "    if (action.id != \"" << kTestActionId << "\")\n"
                                 << "        return polkit.Result.NOT_HANDLED;\n"
                                 << "    if (subject.user == \"" << kAllowedUser << "\") return polkit.Result.YES;\n"
                                 << "    if (subject.user == \"" << kDeniedUser << "\") return polkit.Result.NO;\n"
                                 << "});\n";
        // polkitd is started by the bus on the first question; a fresh one reads the files at start, a
        // running one picks them up within moments.
        for (int attempt = 0; attempt < 50; ++attempt) {
            if (Run({"/usr/bin/pkaction", "--action-id", kTestActionId}) == 0)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        reason_ = "polkitd does not answer on the system bus";
    }

    ~PolkitSetUp()
    {
        fs::remove(kRuleFile);
        fs::remove(kPolicyFile);
        for (const char* user : {kAllowedUser, kDeniedUser})
            Run({"/usr/sbin/userdel", user});
        if (startedBus_) {
            // The bus this set-up started, by the pid it wrote; polkitd ends with its bus.
            std::ifstream pidFile(kBusPidFile);
            pid_t pid = 0;
            if (pidFile >> pid && pid > 0 && ::kill(pid, SIGTERM) == 0) {
                for (int attempt = 0; attempt < 50 && ::kill(pid, 0) == 0; ++attempt)
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            fs::remove(kBusSocket);
            fs::remove(kBusPidFile);
        }
    }

    const std::string& unavailableReason() const { return reason_; }

    // pkexec on the sandbox helper, started as a test user with no groups and no terminal.
    static std::vector<std::string> AsUser(const char* user, const std::string& variant)
    {
        const passwd* entry = ::getpwnam(user);
        const std::string uid = entry ? std::to_string(entry->pw_uid) : "65534";
        const std::string gid = entry ? std::to_string(entry->pw_gid) : "65534";
        return {"/usr/bin/setpriv", "--reuid=" + uid, "--regid=" + gid, "--clear-groups", "/usr/bin/pkexec",
                kHelper, "switch", variant};
    }

private:
    std::string reason_;
    bool startedBus_ = false;
};

TEST(SwitchHelperThroughPolkit, AnAllowedUserSwitchesAndADeniedOneChangesNothing)
{
    const PolkitSetUp polkit;
    if (!polkit.unavailableReason().empty())
        GTEST_SKIP() << polkit.unavailableReason();
    struct Case {
        const char* user;
        int exitCode;
        PrivilegedChange outcome;
        std::string hosts;
    };
    const Case cases[] = {
        {kAllowedUser, 0, PrivilegedChange::Made, "10.0.0.1 intranet\n\r\n"},
        {kDeniedUser, 127, PrivilegedChange::Refused, kOriginal},
    };
    for (const Case& c : cases) {
        const HelperDrive drive;
        std::string errors;
        const int exitCode = linux_platform::RunToEnd(PolkitSetUp::AsUser(c.user, "work"), errors);
        EXPECT_EQ(exitCode, c.exitCode) << c.user << ": " << errors;
        EXPECT_EQ(HelperDrive::get("hosts"), c.hosts) << c.user;
        if (c.exitCode != 0) {
            EXPECT_EQ(linux_platform::OutcomeOfHelperRun(exitCode, errors, "/etc/hosts"), c.outcome) << c.user;
        }
    }
}

}  // namespace
}  // namespace velmora
