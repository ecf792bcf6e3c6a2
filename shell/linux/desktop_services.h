#pragma once

#include <string>

namespace velmora::linux_platform {

// What only a desktop session can give the platform: dialogs, the display's bell and the user's folders.
// Lives in a separately loaded library so that a window-less switch never loads a toolkit; opening it opens
// the toolkit's application, which the library's window part (main_window/qt) then uses. It holds no program
// logic and knows nothing of the window.
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
};

}  // namespace velmora::linux_platform

// The desktop library, one of the program's own libraries (own_libraries.h).
inline constexpr char kDesktopLibraryFile[] = "velmora-desktop.so";

// The symbol of the library's platform part. `argc` and `argv` must outlive the returned object.
extern "C" velmora::linux_platform::DesktopServices* velmora_open_desktop_services(int* argc, char** argv);
inline constexpr char kOpenDesktopServicesSymbol[] = "velmora_open_desktop_services";
