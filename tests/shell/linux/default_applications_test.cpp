#include <gtest/gtest.h>

#include <set>

#include "shell/linux/desktop/default_applications.h"
#include "tests/support/xdg_environment.h"

namespace velmora::linux_platform {
namespace {

using testing::TempDirectory;
using testing::WriteFile;
using testing::XdgEnvironment;

TEST(CommandLineFor, ExpandsTheWholeExecLineForTheOneTarget)
{
    struct Case {
        const char* what;
        std::vector<std::string> exec;
        std::optional<std::string> target;
        std::vector<std::string> expected;  // empty: the entry is refused
    };
    const std::string target = "/etc/hosts.my $(work)";
    const std::string url = "https://example.org/?a=1&b=%41";
    const Case cases[] = {
        {"a plain file code", {"/usr/bin/editor", "%f"}, target, {"/usr/bin/editor", target}},
        {"a wrapper with options", {"env", "FOO=1", "recorder", "--flag", "%u"}, url,
         {"env", "FOO=1", "recorder", "--flag", url}},
        {"options after the code", {"browser", "%U", "--private"}, url, {"browser", url, "--private"}},
        {"no field code: appended", {"editor"}, target, {"editor", target}},
        {"inside an argument: refused", {"editor", "--file=%f"}, target, {}},
        {"inside a shell's script: refused", {"sh", "-c", "cat %f"}, "/etc/hosts.a;id", {}},
        {"the target once", {"editor", "%f", "%F", "--x=%u"}, target, {"editor", target, "--x="}},
        {"icon, name, entry, percent", {"editor", "%i", "%c", "%k", "100%%", "%f"}, target,
         {"editor", "--icon", "accessories-text-editor", "Text Editor", "/apps/editor.desktop", "100%", target}},
        {"deprecated and unknown codes dropped", {"editor", "%d", "%N", "%v", "%m", "%z", "%f"}, target,
         {"editor", target}},
        {"no target: the codes go", {"editor", "%f", "--new"}, std::nullopt, {"editor", "--new"}},
    };
    DefaultApplication application;
    application.desktopFile = "/apps/editor.desktop";
    application.executable = "/usr/bin/editor";
    application.name = "Text Editor";
    application.icon = "accessories-text-editor";
    for (const auto& c : cases) {
        application.commandTemplate = c.exec;
        EXPECT_EQ(CommandLineFor(application, c.target).value_or(std::vector<std::string>{}), c.expected) << c.what;
    }

    // Without an icon %i gives no argument at all, not an empty one.
    application.icon.clear();
    application.commandTemplate = {"editor", "%i", "%f"};
    EXPECT_EQ(CommandLineFor(application, target), (std::vector<std::string>{"editor", target}));
}

TEST(InTerminal, TakesTheFirstInstalledTerminalWithItsRunOption)
{
    struct Case {
        const char* what;
        std::set<std::string> installed;
        std::vector<std::string> expected;  // empty: no terminal
    };
    const std::vector<std::string> command{"vim", "/etc/hosts.my work"};
    const Case cases[] = {
        {"Debian's chosen terminal first", {"x-terminal-emulator", "gnome-terminal", "xterm"},
         {"/bin/x-terminal-emulator", "-e", "vim", "/etc/hosts.my work"}},
        {"GNOME's takes --", {"gnome-terminal", "xterm"}, {"/bin/gnome-terminal", "--", "vim", "/etc/hosts.my work"}},
        {"Xfce's takes -x", {"xfce4-terminal", "konsole"}, {"/bin/xfce4-terminal", "-x", "vim", "/etc/hosts.my work"}},
        {"none installed", {"not-a-terminal"}, {}},
    };
    for (const auto& c : cases) {
        const auto find = [&](const std::string& program) {
            return c.installed.count(program) ? "/bin/" + program : std::string();
        };
        EXPECT_EQ(InTerminal(command, find).value_or(std::vector<std::string>{}), c.expected) << c.what;
    }
}

// One process per test (ctest), so the XDG variables set here are what GIO reads first.
TEST(DefaultApplicationFor, FindsTheUsersDefaultAndRefusesAParentTypesEditorForWebPages)
{
    XdgEnvironment xdg;
    const std::string editor = xdg.addRecordingProgram("fake editor");
    const std::string browser = xdg.addRecordingProgram("browser");
    xdg.setDefault("text/plain",
                   xdg.addApplication("editor", "\"" + editor + "\" --new-window %f", "text/plain;"));
    xdg.addApplication("browser", browser + " %u", "text/html;x-scheme-handler/https;");
    const std::string terminalEditor = xdg.addRecordingProgram("vi");
    xdg.setDefault("text/x-csrc", xdg.addApplication("vi", terminalEditor + " %F", "text/x-csrc;",
                                                     "Terminal=true\nIcon=vi-icon\nPath=/tmp\n"));
    xdg.applyToThisProcess();

    const auto plain = DefaultApplicationFor("text/plain", false);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->executable, editor);  // a blank in the program's path survives
    EXPECT_EQ(plain->commandTemplate, (std::vector<std::string>{editor, "--new-window", "%f"}));

    // The rest of the entry that its start needs: terminal, working directory and what %i stands for.
    const auto inTerminal = DefaultApplicationFor("text/x-csrc", false);
    ASSERT_TRUE(inTerminal);
    EXPECT_TRUE(inTerminal->inTerminal);
    EXPECT_EQ(inTerminal->icon, "vi-icon");
    EXPECT_EQ(inTerminal->workingDirectory, "/tmp");

    const auto webPages = DefaultApplicationFor("text/html", true);
    ASSERT_TRUE(webPages);
    EXPECT_EQ(webPages->executable, browser);

    EXPECT_FALSE(DefaultApplicationFor("application/x-velmora-nothing", true));

    TempDirectory files;
    WriteFile(files / "page.html", "\r\n");
    WriteFile(files / "hosts", "127.0.0.1 localhost\r\n");
    EXPECT_EQ(ContentTypeOfFile(files / "page.html"), "text/html");
    EXPECT_EQ(ContentTypeOfFile(files / "hosts"), "text/plain");
}

}  // namespace
}  // namespace velmora::linux_platform
