#pragma once

#include <memory>
#include <string>

#include "main_window/form1_view.h"

namespace velmora {

class Platform;

// The window as a window system hands it out: the view the logic talks to, plus showing it.
class Form1Window : public Form1View {
public:
    virtual void show() = 0;
};

// What the program needs of a window system to run its one window, and nothing else: making the window and
// running its event loop. Implemented by the Qt side on Linux and the Win32 side on Windows.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // The window reporting to `events`, or null when none can be opened; unavailableReason() then says why.
    virtual std::unique_ptr<Form1Window> createMainWindow(Form1Events& events) = 0;
    virtual std::string unavailableReason() = 0;
    // Runs the event loop until the window is closed; returns its exit status.
    virtual int runEventLoop() = 0;
};

// The whole program over a platform and a window system: start-up, then the window until it is closed.
// Returns the program's exit code (ExitCode) when it ends by returning; it may also end through the platform.
int RunProgram(Platform& platform, WindowSystem& windows);

}  // namespace velmora
