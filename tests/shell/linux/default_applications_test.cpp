#include <gtest/gtest.h>

#include "shell/linux/desktop/default_applications.h"
#include "tests/support/xdg_environment.h"

namespace velmora::linux_platform {
namespace {

using testing::TempDirectory;
using testing::WriteFile;
using testing::XdgEnvironment;

TEST(CommandLineFor, PutsTheTargetWhereTheExecLineSaysAsOneArgument)
{
    struct Case {
        std::vector<std::string> exec;
        std::vector<std::string> expected;
    };
    const std::string target = "/etc/hosts.my $(work)";
    const Case cases[] = {
        {{"/usr/bin/editor", "%f"}, {"/usr/bin/editor", target}},
        {{"editor", "--new", "%U", "%i", "%c"}, {"editor", "--new", target}},
        {{"editor"}, {"editor", target}},                    // no field code: the target is appended
        {{"editor", "--file=%f"}, {"editor", "--file=" + target}},
        {{"editor", "100%%", "%k", "%f"}, {"editor", "100%", "/apps/editor.desktop", target}},
        {{"editor", "%f", "%F"}, {"editor", target}},        // the target is given once
    };
    for (const auto& c : cases) {
        DefaultApplication application{"/apps/editor.desktop", c.exec, "/usr/bin/editor"};
        EXPECT_EQ(CommandLineFor(application, target), c.expected) << c.exec.front();
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
    xdg.applyToThisProcess();

    const auto plain = DefaultApplicationFor("text/plain", false);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->executable, editor);  // a blank in the program's path survives
    EXPECT_EQ(plain->commandTemplate, (std::vector<std::string>{editor, "--new-window", "%f"}));

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
