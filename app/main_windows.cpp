// Velmora for Windows: start-up and the window-less switch over the Win32 platform.

#include <windows.h>

#include "main_window/program.h"
#include "shell/windows/windows_platform.h"

namespace {

// The window system of this build, which has no window yet: every start that would open the window ends
// after start-up with a box that says so. It does nothing else.
class WindowlessWindowSystem final : public velmora::WindowSystem {
public:
    std::unique_ptr<velmora::Form1Window> createMainWindow(velmora::Form1Events&) override { return nullptr; }
    std::string unavailableReason() override { return "this Windows build has no window yet"; }
    int runEventLoop() override { return 0; }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    velmora::windows_platform::WindowsPlatform platform;
    WindowlessWindowSystem windows;
    return velmora::RunProgram(platform, windows);
}
