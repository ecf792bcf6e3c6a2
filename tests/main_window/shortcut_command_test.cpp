#include <gtest/gtest.h>

#include "main_window/form1_presenter.h"
#include "main_window/shortcut_command.h"
#include "shell/shortcuts.h"
#include "tests/support/end_catching_events.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fake_view.h"

namespace velmora {
namespace {

using testing::FakePlatform;
using testing::RunUntilEnd;

const std::string kDesktop = "C:\\Users\\me\\Desktop\\";
const std::string kHostsDir = "C:\\Windows\\System32\\drivers\\etc\\";

// What CreateShellShortcut leaves in the log for a shortcut of the program in C:\Tools.
std::vector<std::string> ShortcutCalls(const std::string& name, const std::string& target = "C:\\Tools\\velmora.exe",
                                       const std::string& workingDirectory = "C:\\Tools")
{
    const std::string path = kDesktop + "Hosts-" + name + ".lnk";
    return {"shortcut|" + path,           "TargetPath|" + target,
            "WorkingDirectory|" + workingDirectory, "WindowStyle|0",
            "Arguments|" + name,          "IconLocation|" + target + ",0",
            "save|" + path};
}

std::string ConfirmationBox(const std::string& name)
{
    return "box|Direct-Shortcut for 'Hosts." + name + "' is created on your Desktop|64|" +
           "Desktop-Shortcut created: 'Hosts-" + name + ".lnk'";
}

std::string RefusalBox(const std::string& entry, const std::string& reason)
{
    return "box|No shortcut created for '" + entry + "':\r" + reason + "|16|Desktop-Shortcut not created";
}

const std::string kBlanksReason =
    "a name that begins or ends with a blank does not survive the command line, so the shortcut would switch to "
    "another file.";

std::string RefusedNameReason(const std::string& name)
{
    return "the command line does not accept the name '" + name + "', so the shortcut could not switch to this file.";
}

std::vector<std::string> Joined(std::vector<std::string> first, const std::vector<std::string>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(CreateShellShortcut, SetsEveryValueOnceInOrderBeforeTheOneSave)
{
    FakePlatform platform;
    CreateShellShortcut(platform, "C:\\Tools\\app.exe", "Desktop", "Hosts-work", "work", "C:\\Tools", 0, 0);
    const std::string path = kDesktop + "Hosts-work.lnk";
    EXPECT_EQ(platform.log, (std::vector<std::string>{"shortcut|" + path, "TargetPath|C:\\Tools\\app.exe",
                                                      "WorkingDirectory|C:\\Tools", "WindowStyle|0", "Arguments|work",
                                                      "IconLocation|C:\\Tools\\app.exe,0", "save|" + path}));

    FakePlatform other;
    other.specialFolders["Startup"] = "C:\\Start";
    CreateShellShortcut(other, "C:\\x.exe", "Startup", "L", "", "", 7, 12);
    EXPECT_EQ(other.log, (std::vector<std::string>{"shortcut|C:\\Start\\L.lnk", "TargetPath|C:\\x.exe",
                                                   "WorkingDirectory|", "WindowStyle|7", "Arguments|",
                                                   "IconLocation|C:\\x.exe,12", "save|C:\\Start\\L.lnk"}));
}

TEST(CreateShellShortcut, AFailureStopsAtItsStep)
{
    FakePlatform platform;
    platform.failures["shortcut|" + kDesktop + "Hosts-a.lnk"] = RuntimeErrorNumber::PathNotFound;
    EXPECT_THROW(CreateShellShortcut(platform, "C:\\a.exe", "Desktop", "Hosts-a", "a", "C:\\", 0, 0), RuntimeError);
    EXPECT_EQ(platform.log, std::vector<std::string>{});
}

TEST(CreateVariantShortcut, WritesTheShortcutForTheSelectedFileOrSaysWhyNot)
{
    struct Case {
        std::string entry;
        std::vector<std::string> expectedLog;
    };
    const Case cases[] = {
        {"hosts.Default", Joined(ShortcutCalls("Default"), {ConfirmationBox("Default")})},
        {"Hosts.my work", Joined(ShortcutCalls("my work"), {ConfirmationBox("my work")})},
        {"HOSTS.work", Joined(ShortcutCalls("work"), {ConfirmationBox("work")})},
        // Only the leading prefix goes: the name leads back to the selected file.
        {"hosts.aHOSTS.b", Joined(ShortcutCalls("aHOSTS.b"), {ConfirmationBox("aHOSTS.b")})},
        {"hosts.HOSTS.x", Joined(ShortcutCalls("HOSTS.x"), {ConfirmationBox("HOSTS.x")})},
        {"hosts.Grüße 日本", Joined(ShortcutCalls("Grüße 日本"), {ConfirmationBox("Grüße 日本")})},
        {"", {"box|Not Linkname found|0|-"}},
        {"hosts.", {"box|Not Linkname found|0|-"}},
        {"hosts.   ", {"box|Not Linkname found|0|-"}},
        // The switch trims its command line: these would activate another file than the one selected.
        {"hosts. x ", {RefusalBox("hosts. x ", kBlanksReason)}},
        {"hosts.x ", {RefusalBox("hosts.x ", kBlanksReason)}},
        {"hosts. x", {RefusalBox("hosts. x", kBlanksReason)}},
        // Names the switch refuses.
        {"hosts.a*b", {RefusalBox("hosts.a*b", RefusedNameReason("a*b"))}},
        {"hosts..", {RefusalBox("hosts..", RefusedNameReason("."))}},
        {"hosts.a:b", {RefusalBox("hosts.a:b", RefusedNameReason("a:b"))}},
        {"hosts.a\\b", {RefusalBox("hosts.a\\b", RefusedNameReason("a\\b"))}},
        {"other",
         {RefusalBox("other", "only files named 'hosts.' and a name can be switched to from the command line.")}},
    };
    for (const auto& c : cases) {
        FakePlatform platform;
        CreateVariantShortcut(platform, c.entry);
        EXPECT_EQ(platform.log, c.expectedLog) << "[" << c.entry << "]";
    }
}

TEST(CreateVariantShortcut, TargetIsTheProgramItselfAndWorkingDirectoryItsFolder)
{
    struct Case {
        std::string programFolder;
        std::string target;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Velmora\\", "C:\\Program Files\\Velmora\\velmora.exe"},
        {"/usr/local/bin", "/usr/local/bin/velmora"},
    };
    for (const auto& c : cases) {
        FakePlatform platform;
        platform.programFolderText = c.programFolder;
        platform.programPathText = c.target;
        CreateVariantShortcut(platform, "hosts.work");
        EXPECT_EQ(platform.log, Joined(ShortcutCalls("work", c.target, c.programFolder), {ConfirmationBox("work")}))
            << c.programFolder;
    }
}


struct Command3Run {
    std::vector<std::string> log;
    std::optional<ExitCode> endedWith;
};

// Starts the window over a hosts directory with the given variants, selects one (or none) and clicks Command3.
Command3Run ClickCommand3(const std::vector<std::string>& variants, const std::string& selected,
                          std::map<std::string, RuntimeErrorNumber> failures = {})
{
    FakePlatform platform;
    platform.files[kHostsDir + "hosts"] = "127.0.0.1 localhost\r\n";
    platform.files[kHostsDir + "hosts.Default"] = "127.0.0.1 localhost\r\n";
    for (const std::string& variant : variants)
        platform.files[kHostsDir + variant] = "";
    platform.failures = std::move(failures);
    Form1Presenter presenter(platform);
    presenter.startUp();
    testing::FakeView view;
    presenter.attachView(view);
    view.selected = -1;
    for (std::size_t i = 0; i < view.entries.size(); ++i)
        if (view.entries[i] == selected)
            view.selected = static_cast<int>(i);
    platform.log.clear();
    testing::EndCatchingEvents(presenter).onCommand3Click();
    return {platform.log, platform.endedWith};
}

TEST(Command3, UsesTheSelectedEntryAndEndsWithTheReportWhenTheShortcutCannotBeSaved)
{
    const Command3Run selected = ClickCommand3({"hosts.my work"}, "hosts.my work");
    EXPECT_EQ(selected.log, Joined(ShortcutCalls("my work"), {ConfirmationBox("my work")}));

    const Command3Run nothingSelected = ClickCommand3({"hosts.work"}, "");
    EXPECT_EQ(nothingSelected.log, std::vector<std::string>{"box|Not Linkname found|0|-"});

    const Command3Run refused = ClickCommand3({"hosts. x "}, "hosts. x ");
    EXPECT_EQ(refused.log, std::vector<std::string>{RefusalBox("hosts. x ", kBlanksReason)});

    const std::string path = kDesktop + "Hosts-work.lnk";
    const Command3Run failed =
        ClickCommand3({"hosts.work"}, "hosts.work", {{"save|" + path, RuntimeErrorNumber::PermissionDenied}});
    const std::vector<std::string> calls = ShortcutCalls("work");
    const std::string report = "box|Run-time error '70':\r\rPermission denied\r\r" + path + "|16|Velmora";
    EXPECT_EQ(failed.log, Joined({calls.begin(), calls.end() - 1}, {report, "end|1"}));
    EXPECT_EQ(failed.endedWith, ExitCode::RuntimeError);
}

}  // namespace
}  // namespace velmora
