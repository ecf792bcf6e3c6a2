#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "tests/windows/support/window_search.h"

namespace velmora::windows_testing {

// Runs the real velmora.exe and works its window from outside, through the messages that mouse and keyboard
// would send (posted, so they pass the program's own message loop). Every wait is bounded; a program still
// running at the end is ended.
class Form1Driver {
public:
    // Starts `program` with exactly this text after its quoted path and waits for its window (up to 20 s);
    // window() is null when none came.
    Form1Driver(const std::string& program, const std::string& arguments = {});
    ~Form1Driver();
    Form1Driver(const Form1Driver&) = delete;
    Form1Driver& operator=(const Form1Driver&) = delete;

    HWND window() const { return window_; }
    unsigned long processId() const { return process_.dwProcessId; }
    // A control by its identifier, inside the window or inside Frame1.
    HWND control(int id) const;
    HWND focused() const;
    // The program's tooltip window (common controls), or null.
    HWND tooltipWindow() const;
    std::string textOf(int id) const;
    // The list's entries as shown.
    int listCount() const;
    std::string listEntry(int index) const;
    int listIndex() const;

    void pressKey(WPARAM virtualKey) const;  // to the control with the focus
    void click(int id) const;                 // left button down and up in the middle of the control
    void clickListEntry(int index) const;
    void doubleClickListEntry(int index) const;
    // Waits until the program has taken in everything posted so far.
    void settle() const;

    // The exit code once the program has ended within the timeout, or nothing.
    std::optional<unsigned long> waitForExit(unsigned milliseconds) const;

private:
    void postMouse(HWND target, POINT at, bool twice) const;

    PROCESS_INFORMATION process_ {};
    HWND window_ = nullptr;
};

// Polls `condition` every 50 ms until it holds or the time is up; its last answer.
template <typename Condition>
bool WaitUntil(Condition&& condition, unsigned milliseconds)
{
    for (unsigned waited = 0; waited < milliseconds; waited += 50) {
        if (condition())
            return true;
        ::Sleep(50);
    }
    return condition();
}


}  // namespace velmora::windows_testing
