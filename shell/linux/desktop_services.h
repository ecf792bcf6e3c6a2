#pragma once

#include <memory>
#include <string>

#include "main_window/program.h"

namespace velmora::linux_platform {

// What only a desktop session can give: dialogs, the window, the display's bell and the user's folders.
// Lives in a separately loaded library so that a window-less switch never loads a toolkit. It holds no
// program logic.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // `title` is always given here: the platform fills in the program's title before calling.
    virtual int messageBox(const std::string& prompt, int style, const std::string& title) = 0;
    virtual std::string inputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) = 0;
    virtual void beep() = 0;

    // The user's desktop folder (XDG), created when missing; a native path.
    virtual std::string desktopFolder() = 0;

    virtual std::unique_ptr<Form1Window> createMainWindow(Form1Events& events) = 0;
    // Runs the event loop until the window is closed; returns the loop's exit status.
    virtual int runEventLoop() = 0;
};

}  // namespace velmora::linux_platform

// The one symbol the desktop library exports. `argc` and `argv` must outlive the returned object.
extern "C" velmora::linux_platform::DesktopServices* velmora_open_desktop_services(int* argc, char** argv);
inline constexpr char kOpenDesktopServicesSymbol[] = "velmora_open_desktop_services";
