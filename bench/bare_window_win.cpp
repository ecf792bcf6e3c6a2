// The baseline of the window benchmark: an empty Win32 window of Velmora's style and client size, shown
// centred, with a message loop and nothing else. Escape or closing ends it.

#include <windows.h>

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSEXA windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "BareWindow";
    if (!::RegisterClassExA(&windowClass))
        return 1;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT box {0, 0, 495, 309};
    ::AdjustWindowRectEx(&box, style, FALSE, 0);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    const HWND window = ::CreateWindowExA(0, "BareWindow", "Bare window", style,
                                          (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                          (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                                          nullptr, instance, nullptr);
    if (!window)
        return 1;
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    MSG message {};
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)
            ::DestroyWindow(window);
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
