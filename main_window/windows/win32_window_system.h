#pragma once

#include <string>

#include "main_window/program.h"

namespace velmora::windows_view {

class Form1Win;

// The window system of the Windows build: makes the one native window and runs the thread's message loop,
// with the window's key preview before the dialog manager's keyboard handling (Tab, focus order). It knows
// nothing of what the window's events do.
class Win32WindowSystem final : public WindowSystem {
public:
    std::unique_ptr<Form1Window> createMainWindow(Form1Events& events) override;
    std::string unavailableReason() override { return reason_; }
    int runEventLoop() override;

private:
    Form1Win* window_ = nullptr;  // owned by the caller of createMainWindow for as long as the loop runs
    std::string reason_;
};

}  // namespace velmora::windows_view
