// Velmora for Linux: start-up without any toolkit, the window only when one is needed.

#include <cstdio>

#include "main_window/program.h"
#include "main_window/qt/desktop_window_system.h"
#include "shell/linux/drive_mapping.h"
#include "shell/linux/linux_platform.h"

int main(int argc, char** argv)
{
    using namespace velmora;
    using namespace velmora::linux_platform;
    std::optional<DriveMapping> drives;
    try {
        drives = DriveMapping::fromEnvironment();
    } catch (const DriveSettingRefused& refusal) {
        std::fprintf(stderr, "%s: %s\n", kProgramTitle, refusal.what());
        return static_cast<int>(ExitCode::DriveSettingRefused);
    }
    LinuxPlatform platform(argc, argv, std::move(*drives));
    qt_view::DesktopWindowSystem windows(platform);
    return RunProgram(platform, windows);
}
