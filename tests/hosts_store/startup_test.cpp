#include <gtest/gtest.h>

#include "hosts_store/startup.h"
#include "shell/dialogs.h"
#include "tests/support/fake_platform.h"

namespace velmora {
namespace {

using testing::FakePlatform;
using testing::RunUntilEnd;

const std::string kDir = "C:\\Windows\\System32\\drivers\\etc\\";
const std::string kInvalidBox = "box|Invalid Commandline:  ";
const std::string kNoBackupBox = "box|Default File not found! - Commandline skiped!\rCommandline: ";
const std::string kFirstStartBox =
    "box|First Start?  Default - Backup not found\rUsing current Hosts as defaul Backup|64|First Start - Creating Backup!";
const std::string kStopBox = "box|File not found: \r" + kDir + "|16|Host-File not found!";

struct Drive {
    bool hosts = true;
    bool backup = true;
    bool work = true;
};

FakePlatform MakePlatform(const std::string& commandLine, Drive drive = {})
{
    FakePlatform platform;
    platform.commandLineText = commandLine;
    if (drive.hosts)
        platform.files[kDir + "hosts"] = "127.0.0.1 current\r\n";
    if (drive.backup)
        platform.files[kDir + "hosts.Default"] = "127.0.0.1 default\r\n";
    if (drive.work)
        platform.files[kDir + "hosts.work"] = "10.0.0.1 work\n";
    return platform;
}

TEST(Startup, MessagesAndEndsFollowTheCommandLineAndTheDrive)
{
    struct Case {
        const char* what;
        std::string commandLine;
        Drive drive;
        std::vector<std::string> expectedLog;
        std::optional<std::string> caption;
    };
    const Case cases[] = {
        {"plain start", "", {}, {}, std::nullopt},
        {"switch", "work", {}, {"replace|" + kDir + "hosts", "beep", "end|0"}, std::nullopt},
        {"switch with blanks around and another case", "  WORK ", {}, {"replace|" + kDir + "hosts", "beep", "end|0"},
         std::nullopt},
        {"blanks only", "   ", {}, {kInvalidBox + "|0|-"}, std::nullopt},
        {"asterisk", "*", {}, {kInvalidBox + "*|0|-"}, std::nullopt},
        {"backslash escapes", "x\\..\\..\\secret", {}, {kInvalidBox + "x\\..\\..\\secret|0|-"}, std::nullopt},
        {"slash", "a/b", {}, {kInvalidBox + "a/b|0|-"}, std::nullopt},
        {"colon", "C:x", {}, {kInvalidBox + "C:x|0|-"}, std::nullopt},
        {"dot dot", "..", {}, {kInvalidBox + "..|0|-"}, std::nullopt},
        {"tab", "a\tb", {}, {kInvalidBox + "a\tb|0|-"}, std::nullopt},
        {"not found", "missing", {}, {}, "Hostfile not found:missing"},
        {"first start with command line", "work", {.backup = false},
         {kNoBackupBox + "work|0|-", kFirstStartBox, "replace|" + kDir + "hosts.Default"}, std::nullopt},
        {"hosts missing, switch creates it", "work", {.hosts = false}, {"replace|" + kDir + "hosts", "beep", "end|0"},
         std::nullopt},
        {"hosts missing, no command line", "", {.hosts = false}, {kStopBox, "end|3"}, std::nullopt},
        {"hosts missing, variant not found", "nope", {.hosts = false}, {kStopBox, "end|3"}, std::nullopt},
        {"first start", "", {.backup = false}, {kFirstStartBox, "replace|" + kDir + "hosts.Default"}, std::nullopt},
    };
    for (const auto& c : cases) {
        FakePlatform platform = MakePlatform(c.commandLine, c.drive);
        StartupOutcome outcome;
        RunUntilEnd([&] { outcome = RunStartupBeforeWindow(platform); });
        EXPECT_EQ(platform.log, c.expectedLog) << c.what;
        EXPECT_EQ(platform.finishedFolders, std::vector<std::string>{kDir}) << c.what << ": first of all";
        if (!platform.endedWith) {
            EXPECT_EQ(outcome.caption, c.caption) << c.what;
            EXPECT_EQ(outcome.hostsDir, kDir) << c.what;
        }
    }
}

TEST(Startup, SwitchCopiesTheVariantLineByLineAndFirstStartBacksUpHosts)
{
    FakePlatform platform = MakePlatform("work");
    RunUntilEnd([&] { RunStartupBeforeWindow(platform); });
    EXPECT_EQ(platform.files[kDir + "hosts"], "10.0.0.1 work\n\r\n");

    FakePlatform first = MakePlatform("", {.backup = false});
    RunStartupBeforeWindow(first);
    EXPECT_EQ(first.files[kDir + "hosts.Default"], "127.0.0.1 current\r\n");
}

TEST(Startup, WithoutADisplayABoxWithOnlyOkIsReadAndStartUpGoesOn)
{
    struct Case {
        const char* what;
        std::string commandLine;
        Drive drive;
        std::vector<std::string> expectedLog;
        bool refused;
    };
    const Case cases[] = {
        {"first start makes the backup", "", {.backup = false},
         {kFirstStartBox, "replace|" + kDir + "hosts.Default"}, false},
        {"a refused name is told and start-up goes on", "*", {}, {kInvalidBox + "*|0|-"}, true},
        {"no backup for the switch, then the backup", "work", {.backup = false},
         {kNoBackupBox + "work|0|-", kFirstStartBox, "replace|" + kDir + "hosts.Default"}, true},
        {"the stop box still ends", "", {.hosts = false}, {kStopBox, "end|3"}, false},
    };
    for (const auto& c : cases) {
        FakePlatform platform = MakePlatform(c.commandLine, c.drive);
        platform.noDisplay = true;
        StartupOutcome outcome;
        RunUntilEnd([&] { outcome = RunStartupBeforeWindow(platform); });
        EXPECT_EQ(platform.log, c.expectedLog) << c.what;
        EXPECT_EQ(outcome.commandLineRefused, c.refused) << c.what;
    }
    // A question nobody can answer ends the program.
    FakePlatform platform;
    platform.noDisplay = true;
    EXPECT_EQ(RunUntilEnd([&] { ShowMessage(platform, "Delete?", message_style::kYesNo, std::nullopt); }),
              ExitCode::NoDisplay);
}

TEST(Startup, AFailedSwitchNeverBeeps)
{
    FakePlatform platform = MakePlatform("work");
    platform.failures["replace|" + kDir + "hosts"] = RuntimeErrorNumber::PermissionDenied;
    EXPECT_THROW(RunStartupBeforeWindow(platform), RuntimeError);
    EXPECT_EQ(platform.files[kDir + "hosts"], "127.0.0.1 current\r\n");
    EXPECT_TRUE(platform.log.empty());
}

TEST(Startup, AQuestionMarkThatMatchesAnotherVariantFailsOnTheNameAsWritten)
{
    FakePlatform platform = MakePlatform("w?rk");
    EXPECT_THROW(RunStartupBeforeWindow(platform), RuntimeError);
    EXPECT_EQ(platform.files[kDir + "hosts"], "127.0.0.1 current\r\n");
}

TEST(SwitchArgument, RefusesNamesThatCouldLeaveTheHostsDirectory)
{
    for (const char* valid : {"work", "my work", "a.b", "...", "Grüße", "w?rk", "-x"})
        EXPECT_TRUE(IsValidSwitchArgument(valid)) << valid;
    for (const char* invalid : {"", ".", "..", "*", "a*", "a\\b", "a/b", "c:", "a\nb", "a\rb", "\x7f"})
        EXPECT_FALSE(IsValidSwitchArgument(invalid)) << invalid;
}

}  // namespace
}  // namespace velmora
