// Velmora for Linux: start-up without any toolkit, the window only when one is needed.

#include <cstdio>

#include "main_window/form1_presenter.h"
#include "shell/linux/desktop_services.h"
#include "shell/linux/drive_mapping.h"
#include "shell/linux/linux_platform.h"

int main(int argc, char** argv)
{
    using namespace velmora;
    using namespace velmora::linux_platform;

    LinuxPlatform platform(argc, argv, DriveMapping::fromEnvironment());
    Form1Presenter presenter(platform);
    presenter.startUp();

    DesktopServices* desktop = platform.desktop();
    std::unique_ptr<Form1Window> window = desktop ? desktop->createMainWindow(presenter) : nullptr;
    if (!window) {
        const auto& refusal = presenter.captionOverride();
        if (refusal)
            std::fprintf(stderr, "%s: %s\n", kProgramTitle, refusal->c_str());
        std::fprintf(stderr, "%s: the window cannot be opened: %s\n", kProgramTitle,
                     desktop ? "the desktop library has no window" : platform.desktopUnavailableReason().c_str());
        return static_cast<int>(refusal ? ExitCode::CommandLineRefused : ExitCode::NoDisplay);
    }
    presenter.attachView(*window);
    window->show();
    return desktop->runEventLoop();
}
