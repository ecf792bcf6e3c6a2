#pragma once

#include <windows.h>

#include <string>

namespace velmora::windows_view {

// The window manager's calls the view makes, each turning a failure (GetLastError) into the run-time error.
// They only create and place windows; what the windows do is the view's business.

// Registers a window class of this module; the name is its own failure text.
void RegisterWindowClass(const WNDCLASSEXA& windowClass);

// CreateWindowExA that fails loudly: a window that cannot be made is a run-time error, never a null handle.
HWND CreateWindowOrThrow(DWORD extendedStyle, const char* className, const std::string& text, DWORD style, RECT box,
                         HWND parent, int controlId, void* creationData);

// Sets a window's text (a caption, a label, a title).
void SetWindowTextOrThrow(HWND window, const std::string& text);

// The outer size of a window whose client area is `client`, for its style.
SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD extendedStyle);

// The work area of the primary monitor: where a new top-level window is centred.
RECT PrimaryWorkArea();

}  // namespace velmora::windows_view
