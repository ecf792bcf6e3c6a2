// What the logic does when the user may not write the hosts directory: the privileged helper's own checks,
// and every way into a change of the hosts directory telling a refused consent apart from a failure.

#include <gtest/gtest.h>

#include "hosts_store/startup.h"
#include "hosts_store/switch_helper.h"
#include "main_window/form1_presenter.h"
#include "tests/support/end_catching_events.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fake_view.h"

namespace velmora {
namespace {

using testing::FakePlatform;
using testing::RunUntilEnd;

const std::string kDir = "C:\\Windows\\System32\\drivers\\etc\\";
const std::string kSwitchRefusedBox = "box|Switching needs administrator rights; nothing was changed.|16|-";
const std::string kNobodyAsked = "pkexec: No session for cookie\r\rTry again ...";
const std::string kSwitchNotAskedBox =
    "box|Switching needs administrator rights, but nobody could be asked for them; nothing was changed.\r\r" +
    kNobodyAsked + "|16|-";
const std::string kChangeRefusedBox =
    "box|Changing the hosts directory needs administrator rights; nothing was changed.|16|-";

FakePlatform DriveWithVariants(bool backup = true)
{
    FakePlatform platform;
    platform.files[kDir + "hosts"] = "127.0.0.1 current\r\n";
    if (backup)
        platform.files[kDir + "hosts.Default"] = "127.0.0.1 default\r\n";
    platform.files[kDir + "hosts.Work"] = "10.0.0.1 work";
    platform.files[kDir + "hosts.wark"] = "10.0.0.2 wark\r\n";
    return platform;
}

TEST(SwitchHelper, TakesOnlyAVariantNameAndRefusesEverythingElse)
{
    struct Case {
        std::vector<std::string> arguments;
        ExitCode code;
        std::string report;
    };
    const Case cases[] = {
        {{}, ExitCode::CommandLineRefused, "usage: velmora-switch switch NAME | velmora-switch backup"},
        {{"work"}, ExitCode::CommandLineRefused, "usage: velmora-switch switch NAME | velmora-switch backup"},
        {{"switch", "work", "extra"}, ExitCode::CommandLineRefused,
         "usage: velmora-switch switch NAME | velmora-switch backup"},
        {{"switch", ""}, ExitCode::CommandLineRefused, "not a variant name: "},
        {{"switch", ".."}, ExitCode::CommandLineRefused, "not a variant name: .."},
        {{"switch", "../../etc/shadow"}, ExitCode::CommandLineRefused, "not a variant name: ../../etc/shadow"},
        {{"switch", "x\\..\\..\\secret"}, ExitCode::CommandLineRefused, "not a variant name: x\\..\\..\\secret"},
        {{"switch", "C:x"}, ExitCode::CommandLineRefused, "not a variant name: C:x"},
        {{"switch", "*"}, ExitCode::CommandLineRefused, "not a variant name: *"},
        {{"switch", "w?rk"}, ExitCode::CommandLineRefused, "not a variant name: w?rk"},
        {{"switch", "a\nb"}, ExitCode::CommandLineRefused, "not a variant name: a\nb"},
        {{"switch", "allow"}, ExitCode::CommandLineRefused, "no such variant: hosts.allow"},
        {{"switch", "nope"}, ExitCode::CommandLineRefused, "no such variant: hosts.nope"},
    };
    for (const auto& c : cases) {
        FakePlatform platform = DriveWithVariants();
        platform.files[kDir + "hosts.allow"] = "ALL: ALL\n";
        std::string report;
        EXPECT_EQ(RunSwitchHelper(platform, c.arguments, report), c.code) << c.report;
        EXPECT_EQ(report, c.report);
        EXPECT_TRUE(platform.log.empty()) << c.report << ": nothing may be written";
        EXPECT_EQ(platform.files[kDir + "hosts"], "127.0.0.1 current\r\n") << c.report;
    }
}

TEST(SwitchHelper, SwitchesAndBacksUpWithTheProgramsOwnCopy)
{
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        bool backupThere;
        bool hostsThere;
        ExitCode code;
        std::vector<std::string> log;
        std::string file;
        std::string content;
    };
    const Case cases[] = {
        {"switch in another case", {"switch", "WORK"}, true, true, ExitCode::Normal, {"replace|" + kDir + "hosts"},
         "hosts", "10.0.0.1 work\r\n"},
        {"switch without a backup yet", {"switch", "wark"}, false, true, ExitCode::Normal,
         {"replace|" + kDir + "hosts"}, "hosts", "10.0.0.2 wark\r\n"},
        {"backup", {"backup"}, false, true, ExitCode::Normal, {"replace|" + kDir + "hosts.Default"}, "hosts.Default",
         "127.0.0.1 current\r\n"},
        {"an existing backup is kept", {"backup"}, true, true, ExitCode::Normal, {}, "hosts.Default",
         "127.0.0.1 default\r\n"},
        {"backup without hosts", {"backup"}, false, false, ExitCode::HostsMissing, {}, "hosts.Default", ""},
    };
    for (const auto& c : cases) {
        FakePlatform platform = DriveWithVariants(c.backupThere);
        if (!c.hostsThere)
            platform.files.erase(kDir + "hosts");
        std::string report;
        EXPECT_EQ(RunSwitchHelper(platform, c.arguments, report), c.code) << c.what << ": " << report;
        EXPECT_EQ(platform.log, c.log) << c.what;
        const auto file = platform.files.find(kDir + c.file);
        EXPECT_EQ(file == platform.files.end() ? "" : file->second, c.content) << c.what;
    }
}

TEST(SwitchHelper, AFailedCopyIsTheRunTimeErrorReportOnItsOwnLines)
{
    FakePlatform platform = DriveWithVariants();
    platform.failures["replace|" + kDir + "hosts"] = RuntimeErrorNumber::DiskFull;
    std::string report;
    EXPECT_EQ(RunSwitchHelper(platform, {"switch", "work"}, report), ExitCode::RuntimeError);
    EXPECT_EQ(report, "Run-time error '61':\n\nDisk full\n\n" + kDir + "hosts");
    EXPECT_EQ(platform.files[kDir + "hosts"], "127.0.0.1 current\r\n");
}

// Every way into a change of the hosts directory, over a helper that makes it, one that is refused and a
// user without a helper whose own write is refused: a refusal is a box of its own, never the error report.
TEST(AdministratorRights, ARefusedChangeSaysSoAndChangesNothing)
{
    enum class Entry { CommandLine, DoubleClick, FirstStart, CreateNew, Delete, AddLine };
    struct Case {
        const char* what;
        Entry entry;
        PrivilegedChange answer;
        std::vector<std::string> needingRights;
        std::vector<std::string> expectedLog;
        std::optional<ExitCode> end;
        bool nobodyAsked = false;  // the helper could not ask at all
    };
    const std::string firstStartBox =
        "box|First Start?  Default - Backup not found\rUsing current Hosts as defaul Backup|64|First Start - "
        "Creating Backup!";
    const Case cases[] = {
        {"switch made by the helper", Entry::CommandLine, PrivilegedChange::Made, {},
         {"privileged|switch|work", "beep", "end|0"}, ExitCode::Normal},
        {"switch refused", Entry::CommandLine, PrivilegedChange::Refused, {},
         {"privileged|switch|work", kSwitchRefusedBox, "end|5"}, ExitCode::NeedsAdministratorRights},
        {"switch nobody could be asked for", Entry::CommandLine, PrivilegedChange::Refused, {},
         {"privileged|switch|work", kSwitchNotAskedBox, "end|7"}, ExitCode::RightsNotAsked, true},
        {"switch without a helper", Entry::CommandLine, PrivilegedChange::NotNeeded, {kDir + "hosts"},
         {kSwitchRefusedBox, "end|5"}, ExitCode::NeedsAdministratorRights},
        {"double-click made by the helper", Entry::DoubleClick, PrivilegedChange::Made, {},
         {"privileged|switch|Work", "beep"}, std::nullopt},
        {"double-click refused", Entry::DoubleClick, PrivilegedChange::Refused, {},
         {"privileged|switch|Work", kSwitchRefusedBox}, std::nullopt},
        {"double-click nobody could be asked for", Entry::DoubleClick, PrivilegedChange::Refused, {},
         {"privileged|switch|Work", kSwitchNotAskedBox}, std::nullopt, true},
        {"first-start backup nobody could be asked for", Entry::FirstStart, PrivilegedChange::Refused, {},
         {firstStartBox, "privileged|backup",
          "box|Making the first-start backup needs administrator rights, but nobody could be asked for them; "
          "nothing was changed.\r\r" +
              kNobodyAsked + "|16|-"},
         std::nullopt, true},
        {"first-start backup by the helper", Entry::FirstStart, PrivilegedChange::Made, {},
         {"box|First Start?  Default - Backup not found\rUsing current Hosts as defaul Backup|64|First Start - "
          "Creating Backup!",
          "privileged|backup"},
         std::nullopt},
        {"first-start backup refused", Entry::FirstStart, PrivilegedChange::Refused, {},
         {"box|First Start?  Default - Backup not found\rUsing current Hosts as defaul Backup|64|First Start - "
          "Creating Backup!",
          "privileged|backup",
          "box|Making the first-start backup needs administrator rights; nothing was changed.|16|-"},
         std::nullopt},
        {"create new", Entry::CreateNew, PrivilegedChange::Refused, {kDir + "hosts.new"},
         {"input|Enter Name for the new Hosts-File|Enter Name|NewHostFile", kChangeRefusedBox}, std::nullopt},
        {"delete", Entry::Delete, PrivilegedChange::Refused, {kDir + "hosts.Work"},
         {"box|Delete File: " + kDir + "hosts.Work|4|Delete Host-File: hosts.Work", kChangeRefusedBox},
         std::nullopt},
        {"add line", Entry::AddLine, PrivilegedChange::Refused, {kDir + "hosts.Work"},
         {"input|Add a Line to the selected Host File: \r\rhosts.Work|Add New Entry: hosts.Work|#   127.0.0.1   "
          "Localhost",
          kChangeRefusedBox},
         std::nullopt},
    };
    for (const auto& c : cases) {
        FakePlatform platform = DriveWithVariants(c.entry != Entry::FirstStart);
        const auto filesBefore = platform.files;
        Form1Presenter presenter(platform);
        testing::EndCatchingEvents events(presenter);
        testing::FakeView view;
        view.events = &events;
        std::optional<ExitCode> end;
        if (c.entry == Entry::CommandLine || c.entry == Entry::FirstStart) {
            platform.commandLineText = c.entry == Entry::CommandLine ? "work" : "";
            platform.privilegedAnswer = c.answer;
            if (c.nobodyAsked)
                platform.consentNotAsked = kNobodyAsked;
            platform.needingRights.insert(c.needingRights.begin(), c.needingRights.end());
            end = RunUntilEnd([&] { presenter.startUp(); });
        } else {
            presenter.startUp();
            presenter.attachView(view);
            view.selectListEntry(2);  // hosts.Work
            platform.log.clear();
            platform.privilegedAnswer = c.answer;
            if (c.nobodyAsked)
                platform.consentNotAsked = kNobodyAsked;
            platform.needingRights.insert(c.needingRights.begin(), c.needingRights.end());
            platform.inputAnswers = {c.entry == Entry::CreateNew ? "new" : "10.0.0.9 added"};
            platform.messageAnswers = {message_answer::kYes};
            end = RunUntilEnd([&] {
                if (c.entry == Entry::DoubleClick)
                    presenter.onListDoubleClick();
                else if (c.entry == Entry::CreateNew)
                    presenter.onCommand1Click();
                else if (c.entry == Entry::Delete)
                    presenter.onCommand5Click();
                else
                    presenter.onCommand6Click();
            });
        }
        EXPECT_EQ(platform.log, c.expectedLog) << c.what;
        EXPECT_EQ(end, c.end) << c.what;
        EXPECT_EQ(platform.files, filesBefore) << c.what << ": the fake's files change only by the program's writes";
        if (c.entry == Entry::DoubleClick) {
            EXPECT_EQ(view.activeHostLabel == "hosts.Work - Activated!", c.answer == PrivilegedChange::Made) << c.what;
        }
    }
}

}  // namespace
}  // namespace velmora
