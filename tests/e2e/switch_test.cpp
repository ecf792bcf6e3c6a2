// The real program on a temporary drive, without a display.

#include <gtest/gtest.h>

#include <csignal>
#include <random>
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
        const pid_t pid = StartProgram({VELMORA_EXECUTABLE, round % 2 ? "first" : "second"}, drive.environment());
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        interrupted += WIFSIGNALED(status) ? 1 : 0;
        const std::string hosts = drive.get("hosts");
        ASSERT_TRUE(hosts == first || hosts == second) << "round " << round << ": " << hosts.size() << " bytes";
    }
    EXPECT_GT(interrupted, 0) << "no switch was ever interrupted; the test proves nothing";
    RecordProperty("interrupted", interrupted);
}

}  // namespace
}  // namespace velmora
