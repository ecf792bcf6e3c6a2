#pragma once

#include <windows.h>

#include <string>

namespace velmora::windows_view {

// The common controls' tooltips (comctl32): one tooltip window per top-level window, one tool per control.
// Failures are run-time errors. It only shows texts; it knows nothing of what the controls do.
class Tooltips {
public:
    // Loads the common controls (on first use) and makes the tooltip window owned by `owner`.
    explicit Tooltips(HWND owner);
    // The text shown while the mouse rests on `control` (a child of the owner or of one of its children).
    void add(HWND control, const std::string& text);

private:
    HWND owner_;
    HWND tooltip_;
};

}  // namespace velmora::windows_view
