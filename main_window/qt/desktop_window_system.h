#pragma once

#include <memory>
#include <string>

#include "main_window/program.h"

namespace velmora::linux_platform {
class LinuxPlatform;
}

namespace velmora::qt_view {

// The window system on Linux, as the program holds it: opens the platform's desktop session on first use,
// then the desktop library's Qt window system (main_window/qt/window_library.h), and hands everything on to
// it. It adds nothing of its own and loads no toolkit into the program itself.
class DesktopWindowSystem final : public WindowSystem {
public:
    explicit DesktopWindowSystem(linux_platform::LinuxPlatform& platform);
    ~DesktopWindowSystem() override;

    std::unique_ptr<Form1Window> createMainWindow(Form1Events& events) override;
    std::string unavailableReason() override;
    int runEventLoop() override;

private:
    // The library's window system, once the desktop session is open; null before or when it cannot be had.
    WindowSystem* windows();

    linux_platform::LinuxPlatform& platform_;
    std::unique_ptr<WindowSystem> windows_;
    bool windowsTried_ = false;
};

}  // namespace velmora::qt_view
