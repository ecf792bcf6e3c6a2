#include <gtest/gtest.h>

#include <filesystem>
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <sys/wait.h>

#include "shell/linux/desktop_launcher.h"
#include "shell/linux/linux_platform.h"
#include "shell/linux/own_libraries.h"
#include "shell/paths.h"
#include "shell/runtime_error.h"
#include "shell/shortcuts.h"
#include "tests/support/process_runner.h"
#include "tests/support/temp_directory.h"
#include "tests/support/xdg_environment.h"

namespace velmora::linux_platform {
namespace {

using testing::ReadFile;
using testing::RunProgram;
using testing::ScopedEnvironmentVariable;
using testing::TempDirectory;
using testing::WriteFile;
using testing::XdgEnvironment;

void RecordPid(GDesktopAppInfo*, GPid pid, gpointer data)
{
    *static_cast<GPid*>(data) = pid;
}

// Launches a desktop file the way GIO-based desktops do, waits for the program and gives its exit status.
int LaunchWithGio(const std::string& desktopFile)
{
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(desktopFile.c_str());
    EXPECT_NE(info, nullptr) << desktopFile;
    if (!info)
        return -1;
    GPid pid = 0;
    GError* error = nullptr;
    const gboolean launched = g_desktop_app_info_launch_uris_as_manager(
        info, nullptr, nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr, RecordPid, &pid, &error);
    g_object_unref(info);
    EXPECT_TRUE(launched) << (error ? error->message : "");
    if (error)
        g_error_free(error);
    int status = -1;
    if (launched && pid > 0)
        while (::waitpid(pid, &status, 0) < 0) {
        }
    return status;
}

TEST(DesktopLauncher, GioStartsTheProgramWithTheNameAsOneArgument)
{
    const XdgEnvironment xdg;
    const std::string program = xdg.addRecordingProgram("recorder");
    TempDirectory dir;
    const char* const names[] = {"my work", "Grüße 日本", "say \"hi\" $HOME `id` 50% off", "it's (a) <b> & c; d|e ~f"};
    for (const std::string name : names) {
        const std::string file = dir / "launcher.desktop";
        WriteFile(file, DesktopLauncherContent({"Hosts-x", {program, name}, dir.path(), kVelmoraIconName}));
        std::filesystem::remove(xdg.recordFile("recorder"));
        EXPECT_EQ(LaunchWithGio(file), 0) << name;
        EXPECT_EQ(ReadFile(xdg.recordFile("recorder")), name + "\n");
    }
}

// The fields lnkinfo prints for a link, as "<name>: <value>" lines without the tabs.
std::string LnkInfo(const std::string& file)
{
    const testing::ProcessResult result = RunProgram({"/usr/bin/lnkinfo", file}, {});
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    std::string fields;
    for (char c : result.output)
        if (c != '\t')
            fields += c;
    return fields;
}

int gArgc = 1;
char gProgramName[] = "velmora_unit_tests";
char* gArgv[] = {gProgramName, nullptr};

TEST(LinuxPlatformShortcut, LandsInTheXdgDesktopFolderAndStartsTheRealProgram)
{
    TempDirectory home;
    const std::string desktop = home / "Mein Schreibtisch";
    std::filesystem::create_directories(home / "config");
    WriteFile(home / "config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Mein Schreibtisch\"\n");
    const ScopedEnvironmentVariable homeVariable("HOME", home.path().c_str());
    const ScopedEnvironmentVariable configVariable("XDG_CONFIG_HOME", (home / "config").c_str());
    const ScopedEnvironmentVariable displayVariable("QT_QPA_PLATFORM", "offscreen");

    LinuxPlatform platform(gArgc, gArgv, DriveMapping({home / "drive_c", std::string("/etc")}));
    EXPECT_EQ(platform.specialFolder("Desktop"), desktop);
    EXPECT_TRUE(std::filesystem::is_directory(desktop)) << "created when missing";
    EXPECT_EQ(platform.specialFolder("DESKTOP"), desktop);
    EXPECT_EQ(platform.specialFolder("Favorites"), "");

    // What the desktop shortcut command asks for: the program itself, in its folder.
    const std::string folder = platform.programFolder();
    CreateShellShortcut(platform, platform.programPath(), "Desktop", "Hosts-my work", "my work", folder, 0, 0);

    const std::string link = desktop + "/Hosts-my work.lnk";
    const std::string fields = LnkInfo(link);
    EXPECT_NE(fields.find("Local path: " + ExecutablePath() + "\n"), std::string::npos) << fields;
    EXPECT_NE(fields.find("Working directory: " + folder + "\n"), std::string::npos) << fields;
    EXPECT_NE(fields.find("Command line arguments: my work\n"), std::string::npos) << fields;
    EXPECT_NE(fields.find("Icon location: " + ExecutablePath() + "\n"), std::string::npos) << fields;

    const std::string launcher = ReadFile(desktop + "/Hosts-my work.desktop");
    EXPECT_NE(launcher.find("\nExec=" + ExecLineArgument(ExecutablePath()) + " \"my work\"\n"), std::string::npos)
        << launcher;
    EXPECT_NE(launcher.find("\nPath=" + folder + "\n"), std::string::npos) << launcher;
    EXPECT_NE(launcher.find("\nName=Hosts-my work\n"), std::string::npos) << launcher;
}

TEST(LinuxPlatformShortcut, WithoutADisplayTheDesktopFolderIsUnavailable)
{
    const ScopedEnvironmentVariable display("DISPLAY", nullptr);
    const ScopedEnvironmentVariable wayland("WAYLAND_DISPLAY", nullptr);
    const ScopedEnvironmentVariable qpa("QT_QPA_PLATFORM", nullptr);
    LinuxPlatform platform(gArgc, gArgv, DriveMapping({"/nonexistent", std::string("/etc")}));
    try {
        platform.specialFolder("Desktop");
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), RuntimeErrorNumber::DeviceUnavailable);
    }
}

}  // namespace
}  // namespace velmora::linux_platform
