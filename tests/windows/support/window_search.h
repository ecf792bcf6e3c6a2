#pragma once

#include <windows.h>

#include <string>

namespace velmora::windows_testing {

// Which top-level window a test looks for: only visible ones, and of them the first that matches every
// condition given (an empty or zero condition matches any window).
struct WindowSearch {
    unsigned long processId = 0;      // owned by this process
    unsigned long exceptProcess = 0;  // not owned by this process
    std::string className;            // exactly this window class
    std::string titlePart;            // a title holding this text
};

// The first matching window now, or null.
HWND FindTopLevelWindow(const WindowSearch& search);
// The first matching window, looked for every 50 ms up to the timeout; null if none came.
HWND WaitForTopLevelWindow(const WindowSearch& search, unsigned milliseconds);

// The first visible top-level window of another process than `exceptProcess` whose title holds `titlePart`,
// waited for up to the timeout; null if none came.
HWND WaitForWindowTitled(const std::string& titlePart, unsigned long exceptProcess, unsigned milliseconds);

// A window's text, also another process's.
std::string WindowTextOf(HWND window);

}  // namespace velmora::windows_testing
