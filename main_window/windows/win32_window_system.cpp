#include "main_window/windows/win32_window_system.h"

#include "main_window/windows/form1_win.h"
#include "shell/platform.h"
#include "shell/runtime_error.h"

namespace velmora::windows_view {

std::unique_ptr<Form1Window> Win32WindowSystem::createMainWindow(Form1Events& events)
{
    try {
        auto window = std::make_unique<Form1Win>(events);
        window_ = window.get();
        return window;
    } catch (const RuntimeError& error) {
        reason_ = error.description() + (error.detail().empty() ? "" : " (" + error.detail() + ")");
        return nullptr;
    }
}

int Win32WindowSystem::runEventLoop()
{
    MSG message {};
    for (;;) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return static_cast<int>(ExitCode::RuntimeError);
        // The key rule first: Escape must reach it before the dialog manager makes a cancel of it, and Enter on
        // a button before the dialog manager makes an unanswered OK of it.
        if (window_ && window_->previewKey(message))
            continue;
        if (window_ && window_->handle() && ::IsDialogMessageA(window_->handle(), &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

}  // namespace velmora::windows_view
