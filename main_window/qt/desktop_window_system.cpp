#include "main_window/qt/desktop_window_system.h"

#include "main_window/qt/window_library.h"
#include "shell/linux/desktop_services.h"
#include "shell/linux/linux_platform.h"
#include "shell/linux/own_libraries.h"

namespace velmora::qt_view {

DesktopWindowSystem::DesktopWindowSystem(linux_platform::LinuxPlatform& platform)
    : platform_(platform)
{
}

DesktopWindowSystem::~DesktopWindowSystem() = default;

WindowSystem* DesktopWindowSystem::windows()
{
    if (windowsTried_ || !platform_.desktop())
        return windows_.get();
    windowsTried_ = true;
    // The session has loaded the library already; this finds its window part in it.
    std::string error;
    using Open = WindowSystem* (*)();
    if (const auto open = reinterpret_cast<Open>(
            linux_platform::OpenOwnLibrary(kDesktopLibraryFile, kOpenWindowSystemSymbol, error)))
        windows_.reset(open());
    return windows_.get();
}

std::unique_ptr<Form1Window> DesktopWindowSystem::createMainWindow(Form1Events& events)
{
    WindowSystem* const qt = windows();
    return qt ? qt->createMainWindow(events) : nullptr;
}

std::string DesktopWindowSystem::unavailableReason()
{
    return platform_.desktop() ? "the desktop library has no window" : platform_.desktopUnavailableReason();
}

int DesktopWindowSystem::runEventLoop()
{
    WindowSystem* const qt = windows();
    return qt ? qt->runEventLoop() : static_cast<int>(ExitCode::NoDisplay);
}

}  // namespace velmora::qt_view
