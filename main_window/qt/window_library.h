#pragma once

#include "main_window/program.h"

// The desktop library's window part: the Qt window system, which makes the Qt window and runs the Qt
// application's event loop. It opens no application of its own: the library's platform part
// (shell/linux/desktop_services.h) has opened it before the window system is asked for. No Qt in this header,
// so that the program can load the part without the toolkit.
extern "C" velmora::WindowSystem* velmora_open_window_system();
inline constexpr char kOpenWindowSystemSymbol[] = "velmora_open_window_system";
