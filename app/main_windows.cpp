// Velmora for Windows: start-up, the window-less switch and the native window over the Win32 platform.

#include <windows.h>

#include "main_window/program.h"
#include "main_window/windows/win32_window_system.h"
#include "shell/windows/windows_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    velmora::windows_platform::WindowsPlatform platform;
    velmora::windows_view::Win32WindowSystem windows;
    return velmora::RunProgram(platform, windows);
}
