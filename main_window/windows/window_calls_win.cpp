#include "main_window/windows/window_calls_win.h"

#include "shell/windows/error_mapping_win.h"

namespace velmora::windows_view {

using windows_platform::LastError;

void RegisterWindowClass(const WNDCLASSEXA& windowClass)
{
    if (!::RegisterClassExA(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw LastError(windowClass.lpszClassName);
}

HWND CreateWindowOrThrow(DWORD extendedStyle, const char* className, const std::string& text, DWORD style, RECT box,
                         HWND parent, int controlId, void* creationData)
{
    const HWND window = ::CreateWindowExA(extendedStyle, className, text.c_str(), style, box.left, box.top,
                                          box.right - box.left, box.bottom - box.top, parent,
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                                          ::GetModuleHandleA(nullptr), creationData);
    if (!window)
        throw LastError(className);
    return window;
}

void SetWindowTextOrThrow(HWND window, const std::string& text)
{
    if (!::SetWindowTextA(window, text.c_str()))
        throw LastError(text);
}

SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD extendedStyle)
{
    RECT box {0, 0, client.cx, client.cy};
    if (!::AdjustWindowRectEx(&box, style, FALSE, extendedStyle))
        throw LastError("");
    return {box.right - box.left, box.bottom - box.top};
}

RECT PrimaryWorkArea()
{
    MONITORINFO monitor {};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoA(::MonitorFromPoint(POINT {0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        RECT area {};
        if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0))
            throw LastError("");
        return area;
    }
    return monitor.rcWork;
}

}  // namespace velmora::windows_view
