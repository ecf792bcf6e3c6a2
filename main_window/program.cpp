#include "main_window/program.h"

#include <optional>

#include "main_window/form1_presenter.h"
#include "shell/platform.h"

namespace velmora {

int RunProgram(Platform& platform, WindowSystem& windows)
{
    Form1Presenter presenter(platform);
    presenter.startUp();

    const std::unique_ptr<Form1Window> window = windows.createMainWindow(presenter);
    if (!window) {
        // Without a window the user still learns why the command line did not switch; the boxes go to the
        // error stream where no display can be opened.
        const std::optional<std::string>& refusal = presenter.captionOverride();
        if (refusal)
            platform.messageBox(*refusal, message_style::kOk, std::nullopt);
        platform.messageBox("the window cannot be opened: " + windows.unavailableReason(), message_style::kOk,
                            std::nullopt);
        return static_cast<int>(presenter.commandLineRefused() ? ExitCode::CommandLineRefused : ExitCode::NoDisplay);
    }
    presenter.attachView(*window);
    window->show();
    return windows.runEventLoop();
}

}  // namespace velmora
