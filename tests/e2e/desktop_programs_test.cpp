// The editor and the file manager as the desktop really starts them: the real Linux platform, the real GIO
// lookup in a private XDG environment whose default applications are recording scripts.

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>

#include "main_window/variant_file_commands.h"
#include "shell/linux/linux_platform.h"
#include "shell/paths.h"
#include "shell/runtime_error.h"
#include "tests/support/temp_directory.h"
#include "tests/support/xdg_environment.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using linux_platform::DriveMapping;
using linux_platform::LinuxPlatform;

const std::string kDir = "C:\\Windows\\System32\\drivers\\etc\\";

class DesktopPrograms : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(etc());
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }

    std::string etc() const { return drive.path() + "/Windows/System32/drivers/etc"; }

    LinuxPlatform& platform()
    {
        xdg.applyToThisProcess();
        if (!platform_)
            platform_ = std::make_unique<LinuxPlatform>(argc_, argv_, DriveMapping({drive.path(), std::nullopt}));
        return *platform_;
    }

    TempDirectory drive;
    XdgEnvironment xdg;

private:
    int argc_ = 1;
    char program_[8] = "velmora";
    char* argv_[2] = {program_, nullptr};
    std::unique_ptr<LinuxPlatform> platform_;
};

TEST_F(DesktopPrograms, TheEditorGetsTheNativePathAsOneArgumentQuotedOrNot)
{
    const std::string editor = xdg.addRecordingProgram("editor");
    xdg.setDefault("text/plain", xdg.addApplication("editor", "\"" + editor + "\" --new %f", "text/plain;"));
    const std::string names[] = {"hosts.my work", "hosts.$(touch pwned)", "hosts.`id`;x", "hosts.Grüße"};
    for (const std::string& name : names) {
        WriteFile(etc() + "/" + name, "10.0.0.1 x\r\n");
        for (const std::string& commandLine : {"Notepad.exe " + kDir + name, "Notepad.exe " + QuotePathIfSpaced(kDir + name)}) {
            std::filesystem::remove(xdg.recordFile("editor"));
            platform().startProcess(commandLine, 1);
            EXPECT_EQ(xdg.waitForRecord("editor"), (std::vector<std::string>{"--new", etc() + "/" + name})) << commandLine;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(drive.path() + "/pwned"));
    EXPECT_FALSE(std::filesystem::exists("pwned"));
}

TEST_F(DesktopPrograms, TheFileManagerOpensTheHostsDirectoryAndNobodyWaitsForIt)
{
    const std::string files = xdg.addRecordingProgram("files", 60);
    xdg.setDefault("inode/directory", xdg.addApplication("files", files + " %U", "inode/directory;"));
    OpenHostsDirectory(platform(), kDir);
    EXPECT_EQ(xdg.waitForRecord("files"), std::vector<std::string>{etc()});

    // The file manager is still running (it lingers for a minute): the command did not wait for it.
    const pid_t pid = static_cast<pid_t>(platform().startProcess("Explorer.exe " + QuotePathIfSpaced(kDir), 1));
    EXPECT_EQ(::kill(pid, 0), 0);
    ::kill(pid, SIGKILL);
}

// The editor's entry has a wrapper, options and the field code; the parameter: whether it asks for a terminal.
class EditorEntry : public DesktopPrograms, public ::testing::WithParamInterface<bool> {};

TEST_P(EditorEntry, StartsTheWholeExecLineForTheVariant)
{
    const bool inTerminal = GetParam();
    const std::string editor = xdg.addRecordingProgram("editor");
    if (inTerminal)
        xdg.addRecordingTerminal();
    xdg.setDefault("text/plain", xdg.addApplication("editor", "env FOO=1 " + editor + " --flag %f", "text/plain;",
                                                    inTerminal ? "Terminal=true\n" : ""));
    WriteFile(etc() + "/hosts.my work", "10.0.0.1 x\r\n");

    platform().startProcess("Notepad.exe " + kDir + "hosts.my work", kNormalFocusedWindow);  // as View & Edit

    const std::string file = etc() + "/hosts.my work";
    if (inTerminal)
        EXPECT_EQ(xdg.waitForRecord("x-terminal-emulator"),
                  (std::vector<std::string>{"-e", "env", "FOO=1", editor, "--flag", file}));
    else
        EXPECT_EQ(xdg.waitForRecord("editor"), (std::vector<std::string>{"--flag", file}));
}

INSTANTIATE_TEST_SUITE_P(Entries, EditorEntry, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& entry) {
    return std::string(entry.param ? "InATerminal" : "Directly");
});

TEST_F(DesktopPrograms, WithoutADefaultEditorTheStartFailsAsAMissingProgram)
{
    WriteFile(etc() + "/hosts.work", "x\r\n");
    xdg.setDefault("text/plain", "nothing-installed.desktop");
    try {
        platform().startProcess("Notepad.exe " + kDir + "hosts.work", 1);
        FAIL() << "there is no editor to start";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), RuntimeErrorNumber::FileNotFound);
    }
}

}  // namespace
}  // namespace velmora
