// Velmora for Linux: start-up without any toolkit, the window only when one is needed.

#include "main_window/program.h"
#include "shell/linux/desktop_window_system.h"
#include "shell/linux/drive_mapping.h"
#include "shell/linux/linux_platform.h"

int main(int argc, char** argv)
{
    using namespace velmora::linux_platform;
    LinuxPlatform platform(argc, argv, DriveMapping::fromEnvironment());
    DesktopWindowSystem windows(platform);
    return velmora::RunProgram(platform, windows);
}
