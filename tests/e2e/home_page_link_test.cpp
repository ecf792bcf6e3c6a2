// The home-page link on the real Linux platform: GIO names the browser from a private XDG environment, a
// recording script stands in for it, and the drive is a temporary sandbox. Each test runs in a process of
// its own (GIO reads the XDG variables once).

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "main_window/form1_presenter.h"
#include "shell/home_page.h"
#include "shell/linux/drive_mapping.h"
#include "shell/linux/linux_platform.h"
#include "shell/run_file.h"
#include "shell/runtime_error.h"
#include "tests/support/link_recording_view.h"
#include "tests/support/temp_directory.h"
#include "tests/support/xdg_environment.h"

namespace velmora {
namespace {

using linux_platform::DriveMapping;
using linux_platform::LinuxPlatform;
using namespace velmora::testing;

// A sandbox drive C: with a hosts directory and a working folder, the user's desktop applications, and the
// real platform over both, with the offscreen display so that the desktop library loads.
class LinkSetting {
public:
    LinkSetting()
        : savedDirectory_(std::filesystem::current_path())
    {
        std::filesystem::create_directories(drive_ / "Windows/System32/drivers/etc");
        std::filesystem::create_directories(drive_ / "Work");
        // Not a first start: start-up then needs no box.
        WriteFile(drive_ / "Windows/System32/drivers/etc/hosts", "127.0.0.1 localhost\r\n");
        WriteFile(drive_ / "Windows/System32/drivers/etc/hosts.Default", "127.0.0.1 localhost\r\n");
        std::filesystem::current_path(drive_ / "Work");
    }
    ~LinkSetting() { std::filesystem::current_path(savedDirectory_); }

    // A browser that records its arguments, one a line, installed on drive C: in a folder with a blank.
    std::string installBrowser(bool handlesWebPages = true)
    {
        const std::string folder = drive_ / "Programs/Web Browser";
        std::filesystem::create_directories(folder);
        const std::string program = folder + "/browser";
        WriteFile(program, "#!/bin/sh\nfor argument in \"$@\"; do printf '%s\\n' \"$argument\"; done >> '" +
                               browserRecord() + "'\n");
        ::chmod(program.c_str(), 0755);
        const std::string types = handlesWebPages ? "text/html;x-scheme-handler/https;" : "x-scheme-handler/https;";
        const std::string id = xdg_.addApplication("browser", "\"" + program + "\" %u", types);
        xdg_.setDefault(handlesWebPages ? "text/html" : "x-scheme-handler/https", id);
        return program;
    }
    // A text editor that is the default for plain text, which GIO would also offer for web pages.
    std::string installEditor()
    {
        const std::string program = xdg_.addRecordingProgram("editor");
        xdg_.setDefault("text/plain", xdg_.addApplication("editor", program + " %f", "text/plain;"));
        return program;
    }

    LinuxPlatform& platform()
    {
        if (!platform_) {
            xdg_.applyToThisProcess();
            platform_ = std::make_unique<LinuxPlatform>(argc_, argv_, DriveMapping({drive_.path(), std::nullopt}));
        }
        return *platform_;
    }

    XdgEnvironment& xdg() { return xdg_; }
    std::string browserRecord() const { return drive_ / "browser-record"; }
    std::string editorRecord() const { return xdg_.recordFile("editor"); }
    const TempDirectory& drive() const { return drive_; }

    // What the browser recorded, once it has written a whole line; empty when nothing came in time.
    std::string waitForBrowserRecord() const
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            if (std::filesystem::exists(browserRecord())) {
                const std::string text = ReadFile(browserRecord());
                if (!text.empty() && text.back() == '\n')
                    return text;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return {};
    }

    // Every file on the drive whose name is one of the launcher's probes.
    std::vector<std::string> probesLeft() const
    {
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(drive_.path())) {
            const std::string name = entry.path().filename().string();
            if (name == "DelMEX00001.html" || name.rfind("zzzzzzzTemp_", 0) == 0 || name.rfind("RunFileTmp", 0) == 0)
                left.push_back(entry.path().string());
        }
        return left;
    }

private:
    ScopedEnvironmentVariable display_{"QT_QPA_PLATFORM", "offscreen"};
    std::filesystem::path savedDirectory_;
    TempDirectory drive_;
    XdgEnvironment xdg_;
    int argc_ = 1;
    char programName_[8] = "velmora";
    char* argv_[2] = {programName_, nullptr};
    std::unique_ptr<LinuxPlatform> platform_;
};

TEST(HomePageLink, ClickStartsTheBrowserWithTheUrlLeavesNoProbeAndRestoresTheDirectory)
{
    LinkSetting setting;
    setting.installBrowser();
    setting.installEditor();
    Form1Presenter presenter(setting.platform());
    presenter.startUp();
    LinkRecordingView view;
    presenter.attachView(view);
    const auto directoryBefore = std::filesystem::current_path();

    presenter.onLabel1Click();

    EXPECT_EQ(setting.waitForBrowserRecord(), HomePageUrl() + "\n");
    EXPECT_EQ(view.linkLog, (std::vector<std::string>{"colour|FF8080", "visible|0", "visible|1"}));
    EXPECT_EQ(std::filesystem::current_path(), directoryBefore);
    EXPECT_EQ(setting.platform().currentDirectory(), "C:\\Work");
    EXPECT_EQ(setting.probesLeft(), std::vector<std::string>{});
    EXPECT_FALSE(std::filesystem::exists(setting.editorRecord()));
}

TEST(HomePageLink, AUsersFileAtTheProbesPathIsUsedAndKept)
{
    LinkSetting setting;
    setting.installBrowser();
    const std::string usersFile = setting.drive() / "DelMEX00001.html";
    WriteFile(usersFile, "<html><body>mine</body></html>\r\n");
    ::chmod(usersFile.c_str(), 0640);
    struct stat before {};
    ::stat(usersFile.c_str(), &before);

    const auto taskId = OpenWithDefaultBrowser(setting.platform(), HomePageUrl(), kNormalFocusedWindow);

    EXPECT_TRUE(taskId);
    EXPECT_EQ(setting.waitForBrowserRecord(), HomePageUrl() + "\n");
    ASSERT_TRUE(std::filesystem::exists(usersFile));
    EXPECT_EQ(ReadFile(usersFile), "<html><body>mine</body></html>\r\n");
    struct stat after {};
    ::stat(usersFile.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
}

TEST(HomePageLink, TheUrlReachesTheBrowserAsOneArgumentUntouchedByAnyShell)
{
    LinkSetting setting;
    setting.installBrowser();
    const std::string url = "https://example.org/a page?q=$(touch injected)&r='1' \"2\";x";

    EXPECT_TRUE(OpenWithDefaultBrowser(setting.platform(), url, kNormalFocusedWindow));

    EXPECT_EQ(setting.waitForBrowserRecord(), url + "\n");
    EXPECT_FALSE(std::filesystem::exists(setting.drive() / "Work/injected"));
    EXPECT_EQ(setting.probesLeft(), std::vector<std::string>{});
}

TEST(HomePageLink, WithoutAProgramForWebPagesTheTextEditorIsNotTakenAndNothingStarts)
{
    LinkSetting setting;
    setting.installBrowser(false);  // handles https links but not web page files
    setting.installEditor();
    const auto directoryBefore = std::filesystem::current_path();

    EXPECT_FALSE(OpenWithDefaultBrowser(setting.platform(), HomePageUrl(), kNormalFocusedWindow));

    EXPECT_EQ(setting.probesLeft(), std::vector<std::string>{});
    EXPECT_EQ(std::filesystem::current_path(), directoryBefore);
    EXPECT_FALSE(std::filesystem::exists(setting.editorRecord()));
    EXPECT_FALSE(std::filesystem::exists(setting.browserRecord()));
}

// The browser's entry has a wrapper, options and the field code; the parameter: whether it asks for a terminal.
class BrowserEntry : public ::testing::TestWithParam<bool> {};

TEST_P(BrowserEntry, TheLinkStartsTheWholeExecLineAfterTheProbes)
{
    const bool inTerminal = GetParam();
    LinkSetting setting;
    XdgEnvironment& xdg = setting.xdg();
    const std::string browser = xdg.addRecordingProgram("browser");
    if (inTerminal)
        xdg.addRecordingTerminal();
    xdg.setDefault("text/html", xdg.addApplication("browser", "env FOO=1 " + browser + " --flag %u",
                                                   "text/html;x-scheme-handler/https;",
                                                   inTerminal ? "Terminal=true\n" : ""));

    EXPECT_TRUE(OpenWithDefaultBrowser(setting.platform(), HomePageUrl(), kNormalFocusedWindow));

    if (inTerminal)
        EXPECT_EQ(xdg.waitForRecord("x-terminal-emulator"),
                  (std::vector<std::string>{"-e", "env", "FOO=1", browser, "--flag", HomePageUrl()}));
    else
        EXPECT_EQ(xdg.waitForRecord("browser"), (std::vector<std::string>{"--flag", HomePageUrl()}));
    EXPECT_EQ(setting.probesLeft(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Entries, BrowserEntry, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& entry) {
    return std::string(entry.param ? "InATerminal" : "Directly");
});

TEST(LinuxFindExecutable, NamesTheDefaultProgramForAnExistingFileInProgramForm)
{
    LinkSetting setting;
    setting.installBrowser();
    const std::string editor = setting.installEditor();
    WriteFile(setting.drive() / "Work/page.HTML", "\r\n");
    WriteFile(setting.drive() / "Work/notes.txt", "x\r\n");
    std::filesystem::create_directories(setting.drive() / "Work/folder.html");
    LinuxPlatform& platform = setting.platform();

    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Work\\page.html", "C:\\Programs\\Web Browser\\browser"},  // on drive C: it carries the letter
        {"page.html", "C:\\Programs\\Web Browser\\browser"},            // relative to the current directory
        {"C:\\Work\\notes.txt", editor},                                 // off the drive: native
        {"C:\\Work\\folder.html", ""},                                   // a folder has no program
    };
    for (const auto& [file, expected] : cases)
        EXPECT_EQ(platform.findExecutable(file), expected) << file;

    try {
        platform.findExecutable("C:\\Work\\missing.html");
        ADD_FAILURE() << "a missing file has no program";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), RuntimeErrorNumber::FileNotFound);
    }
}

}  // namespace
}  // namespace velmora
