#pragma once

#include "main_window/program.h"

namespace velmora::linux_platform {

class LinuxPlatform;

// The window system on Linux: the desktop library's window and event loop, opened through the platform's
// desktop session on first use. It adds nothing of its own.
class DesktopWindowSystem final : public WindowSystem {
public:
    explicit DesktopWindowSystem(LinuxPlatform& platform) : platform_(platform) {}

    std::unique_ptr<Form1Window> createMainWindow(Form1Events& events) override;
    std::string unavailableReason() override;
    int runEventLoop() override;

private:
    LinuxPlatform& platform_;
};

}  // namespace velmora::linux_platform
