// Desktop shortcuts as a user meets them: the launcher validated by the desktop's own checker and its Exec
// line run, parsed as a desktop would parse it (never by a shell), against the real program; the .lnk read
// by an independent reader.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

#include "shell/linux/linux_shortcut.h"
#include "shell/runtime_error.h"
#include "tests/support/process_runner.h"
#include "tests/support/temp_directory.h"

namespace velmora::linux_platform {
namespace {

using testing::EnvironmentChanges;
using testing::ProcessResult;
using testing::ReadFile;
using testing::RunProgram;
using testing::TempDirectory;
using testing::WriteFile;

// The value of a key in a desktop file's [Desktop Entry] group, still escaped.
std::string RawValue(const std::string& content, const std::string& key)
{
    const std::string prefix = "\n" + key + "=";
    const auto at = content.find(prefix);
    if (at == std::string::npos)
        return "<missing>";
    const auto start = at + prefix.size();
    return content.substr(start, content.find('\n', start) - start);
}

// The Desktop Entry rules for reading an Exec value: the string escapes first, then the quoting, then the
// field codes (only %% is expected here; any other code fails the test).
std::vector<std::string> ParseExec(const std::string& escaped)
{
    std::string value;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\' || i + 1 == escaped.size()) {
            value += escaped[i];
            continue;
        }
        const char code = escaped[++i];
        value += code == 's' ? ' ' : code == 'n' ? '\n' : code == 't' ? '\t' : code == 'r' ? '\r' : code;
    }

    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == ' ') {
            if (inArgument)
                arguments.push_back(current);
            current.clear();
            inArgument = false;
        } else if (c == '"') {
            inArgument = true;
            for (++i; i < value.size() && value[i] != '"'; ++i) {
                const bool escape = value[i] == '\\' && i + 1 < value.size() &&
                                    std::string("\"`$\\").find(value[i + 1]) != std::string::npos;
                if (escape)
                    ++i;
                current += value[i];
            }
            EXPECT_LT(i, value.size()) << "unterminated quote in " << escaped;
        } else {
            inArgument = true;
            current += c;
        }
    }
    if (inArgument)
        arguments.push_back(current);

    for (std::string& argument : arguments) {
        std::string expanded;
        for (std::size_t i = 0; i < argument.size(); ++i) {
            if (argument[i] == '%') {
                EXPECT_TRUE(i + 1 < argument.size() && argument[i + 1] == '%') << "field code in " << escaped;
                ++i;
            }
            expanded += argument[i];
        }
        argument = expanded;
    }
    return arguments;
}

// desktop-file-validate's verdict: silence and success for a file without errors, warnings or hints.
ProcessResult Validate(const std::string& desktopFile)
{
    return RunProgram({"/usr/bin/desktop-file-validate", desktopFile}, {});
}

// Names a variant may have that stand as one argument only with care.
const std::vector<std::string> kAwkwardNames = {
    "work", "my work", "Grüße 日本", "a  b", "50% off",
    "say \"hi\"", "$HOME `id`", "it's (a) <b> & c; d|e ~f ?g #h",
};

// A drive C: whose hosts directory holds `hosts`, `hosts.Default` and one variant per awkward name.
class SandboxDrive {
public:
    SandboxDrive()
    {
        std::filesystem::create_directories(hostsDir());
        WriteFile(hostsDir() + "/hosts", "127.0.0.1 localhost\r\n");
        WriteFile(hostsDir() + "/hosts.Default", "127.0.0.1 localhost\r\n");
        for (const std::string& name : kAwkwardNames)
            WriteFile(hostsDir() + "/hosts." + name, "10.0.0.1 " + name + "\r\n");
    }
    std::string hostsDir() const { return root_ / "Windows/System32/drivers/etc"; }
    std::string activeHosts() const { return ReadFile(hostsDir() + "/hosts"); }
    EnvironmentChanges environment() const
    {
        EnvironmentChanges changes = testing::WithoutDisplay();
        changes["VELMORA_DRIVE_C"] = root_.path();
        return changes;
    }

private:
    TempDirectory root_;
};

std::string Identity(const std::string& path)
{
    return path;
}

std::string ProgramFolder()
{
    const std::string executable = VELMORA_EXECUTABLE;
    return executable.substr(0, executable.find_last_of('/'));
}

void SaveShortcut(const std::string& linkPath, const std::string& name)
{
    LinuxShortcut shortcut(linkPath, Identity);
    shortcut.setTargetPath(VELMORA_EXECUTABLE);
    shortcut.setWorkingDirectory(ProgramFolder());
    shortcut.setWindowStyle(0);
    shortcut.setArguments(name);
    shortcut.setIconLocation(std::string(VELMORA_EXECUTABLE) + ",0");
    shortcut.save();
}

TEST(DesktopShortcut, ItsLauncherSwitchesToTheVariantWithTheRealProgram)
{
    const SandboxDrive drive;
    TempDirectory desktop;
    for (const std::string& name : kAwkwardNames) {
        const std::string link = desktop / ("Hosts-" + name + ".lnk");
        SaveShortcut(link, name);
        const std::string launcher = desktop / ("Hosts-" + name + ".desktop");

        struct stat status {};
        ASSERT_EQ(::stat(launcher.c_str(), &status), 0) << name;
        EXPECT_EQ(status.st_mode & 0111, (status.st_mode & 0444) >> 2) << name << ": executable where readable";
        const ProcessResult validation = Validate(launcher);
        EXPECT_EQ(validation.exitCode, 0) << name << validation.output << validation.errors;
        EXPECT_EQ(validation.output, "") << name;

        const std::string content = ReadFile(launcher);
        EXPECT_EQ(RawValue(content, "Name"), "Hosts-" + name);
        EXPECT_EQ(RawValue(content, "Path"), ProgramFolder());
        EXPECT_EQ(RawValue(content, "Icon"), "velmora");
        const std::vector<std::string> command = ParseExec(RawValue(content, "Exec"));
        ASSERT_EQ(command, (std::vector<std::string>{VELMORA_EXECUTABLE, name})) << content;

        const ProcessResult run = RunProgram(command, drive.environment());
        EXPECT_EQ(run.exitCode, 0) << name << ": " << run.errors;
        EXPECT_EQ(drive.activeHosts(), "10.0.0.1 " + name + "\r\n") << name;

        const ProcessResult info = RunProgram({"/usr/bin/lnkinfo", link}, {});
        EXPECT_EQ(info.exitCode, 0) << name;
        EXPECT_NE(info.output.find("\tLocal path\t\t\t: " + std::string(VELMORA_EXECUTABLE) + "\n"), std::string::npos)
            << info.output;
        EXPECT_NE(info.output.find("\tCommand line arguments\t\t: " + name + "\n"), std::string::npos) << info.output;
    }
}

TEST(DesktopShortcut, SavingAgainReplacesBothFilesAndLeavesNothingElse)
{
    TempDirectory desktop;
    const std::string link = desktop / "Hosts-work.lnk";
    const std::string launcher = desktop / "Hosts-work.desktop";
    WriteFile(link, "old link");
    WriteFile(launcher, "[Desktop Entry]\nType=Application\nName=old\nExec=/bin/false\n");
    ::chmod(launcher.c_str(), 0644);

    SaveShortcut(link, "work");
    EXPECT_NE(ReadFile(link), "old link");
    EXPECT_EQ(ReadFile(link).substr(0, 4), std::string("\x4C\0\0\0", 4));
    EXPECT_NE(ReadFile(launcher).find("Name=Hosts-work\n"), std::string::npos);
    struct stat status {};
    ASSERT_EQ(::stat(launcher.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0755u);

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(desktop.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Hosts-work.desktop", "Hosts-work.lnk"}));
}

TEST(DesktopShortcut, AReadOnlyLinkIsRefusedAndNoLauncherIsWritten)
{
    TempDirectory desktop;
    const std::string link = desktop / "Hosts-work.lnk";
    WriteFile(link, "kept");
    ::chmod(link.c_str(), 0444);
    EXPECT_THROW(SaveShortcut(link, "work"), RuntimeError);
    EXPECT_EQ(ReadFile(link), "kept");
    EXPECT_FALSE(std::filesystem::exists(desktop / "Hosts-work.desktop"));
}

}  // namespace
}  // namespace velmora::linux_platform
