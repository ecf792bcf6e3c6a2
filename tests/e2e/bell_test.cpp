// The beep on an X display: the real program switching as a desktop launcher starts it (no terminal), and
// the platform with its window's toolkit open.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "shell/linux/linux_platform.h"
#include "tests/support/process_runner.h"
#include "tests/support/temp_directory.h"
#include "tests/support/virtual_x_server.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using namespace std::chrono_literals;

// Everything the dynamic loader logged into the files LD_DEBUG_OUTPUT names in `folder`.
std::string LoaderLog(const std::string& folder)
{
    std::string log;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        log += ReadFile(entry.path());
    return log;
}

// A Unix socket that accepts connections, as a Wayland compositor's does.
class ListeningSocket {
public:
    explicit ListeningSocket(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof(address.sun_path) - 1);
        if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 || ::listen(fd_, 4) != 0)
            throw std::runtime_error("cannot listen on " + path);
    }
    ~ListeningSocket() { ::close(fd_); }
    ListeningSocket(const ListeningSocket&) = delete;
    ListeningSocket& operator=(const ListeningSocket&) = delete;

private:
    int fd_;
};

TEST(Bell, ALauncherSwitchRingsTheXBellWithoutLoadingTheToolkit)
{
    const VirtualXServer server;
    XBellListener listener(server.display());
    TempDirectory scratch;
    const ListeningSocket wayland(scratch / "wayland-0");
    struct Case {
        const char* what;
        EnvironmentChanges display;
        bool bell;
    };
    const Case cases[] = {
        {"X display", {{"DISPLAY", server.display()}}, true},
        {"XWayland beside a Wayland socket",
         {{"DISPLAY", server.display()}, {"WAYLAND_DISPLAY", scratch / "wayland-0"}}, true},
        {"Wayland alone", {{"WAYLAND_DISPLAY", scratch / "wayland-0"}}, false},
    };
    for (const auto& c : cases) {
        TempDirectory drive, loads;
        const std::string etc = drive / "Windows/System32/drivers/etc";
        std::filesystem::create_directories(etc);
        WriteFile(etc + "/hosts", "127.0.0.1 localhost\r\n");
        WriteFile(etc + "/hosts.Default", "127.0.0.1 localhost\r\n");
        WriteFile(etc + "/hosts.work", "10.0.0.1 intranet\r\n");
        EnvironmentChanges environment = WithoutDisplay();
        environment.insert_or_assign("VELMORA_DRIVE_C", drive.path());
        environment.insert_or_assign("LD_DEBUG", "files");
        environment.insert_or_assign("LD_DEBUG_OUTPUT", loads / "log");
        for (const auto& [name, value] : c.display)
            environment.insert_or_assign(name, value);

        const ProcessResult result = RunProgram({VELMORA_EXECUTABLE, "work"}, environment);
        EXPECT_EQ(result.exitCode, 0) << c.what << ": " << result.errors;
        EXPECT_EQ(ReadFile(etc + "/hosts"), "10.0.0.1 intranet\r\n") << c.what;
        EXPECT_EQ(listener.heardBell(c.bell ? 5000ms : 200ms), c.bell) << c.what;
        const std::string log = LoaderLog(loads.path());
        EXPECT_EQ(log.find("libQt6"), std::string::npos) << c.what << ": the toolkit was loaded";
        EXPECT_EQ(log.find("file=libxcb.so.1") != std::string::npos, c.bell) << c.what;
    }
}

TEST(Bell, AnOpenWindowStillBeepsThroughItsToolkit)
{
    const VirtualXServer server;
    XBellListener listener(server.display());
    const ScopedEnvironmentVariable display("DISPLAY", server.display().c_str());
    const ScopedEnvironmentVariable noWayland("WAYLAND_DISPLAY", nullptr);
    const ScopedEnvironmentVariable platformName("QT_QPA_PLATFORM", "xcb");
    static int argc = 1;
    static char programName[] = "velmora_end_to_end_tests";
    static char* argv[] = {programName, nullptr};

    linux_platform::LinuxPlatform platform(argc, argv, linux_platform::DriveMapping({"/nonexistent", std::nullopt}));
    ASSERT_NE(platform.desktop(), nullptr) << platform.desktopUnavailableReason();
    platform.beep();
    EXPECT_TRUE(listener.heardBell(5000ms));
    EXPECT_NE(ReadFile("/proc/self/maps").find("libQt6Gui"), std::string::npos) << "rung by the toolkit";
}

}  // namespace
}  // namespace velmora
