#include "shell/linux/desktop_window_system.h"

#include "shell/linux/desktop_services.h"
#include "shell/linux/linux_platform.h"

namespace velmora::linux_platform {

std::unique_ptr<Form1Window> DesktopWindowSystem::createMainWindow(Form1Events& events)
{
    DesktopServices* desktop = platform_.desktop();
    return desktop ? desktop->createMainWindow(events) : nullptr;
}

std::string DesktopWindowSystem::unavailableReason()
{
    return platform_.desktop() ? "the desktop library has no window" : platform_.desktopUnavailableReason();
}

int DesktopWindowSystem::runEventLoop()
{
    DesktopServices* desktop = platform_.desktop();
    return desktop ? desktop->runEventLoop() : static_cast<int>(ExitCode::NoDisplay);
}

}  // namespace velmora::linux_platform
