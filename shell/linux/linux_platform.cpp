#include "shell/linux/linux_platform.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "shell/linux/application_lookup.h"
#include "shell/linux/desktop_services.h"
#include "shell/linux/display_probe.h"
#include "shell/linux/own_libraries.h"
#include "shell/linux/posix_io.h"
#include "shell/runtime_error.h"
#include "shell/string_ops.h"

namespace velmora::linux_platform {

namespace {

constexpr char kApplicationLookupLibrary[] = "velmora-applications.so";
char kFallbackProgramName[] = "velmora";

}  // namespace

LinuxPlatform::LinuxPlatform(int& argc, char** argv, DriveMapping drives)
    : argc_(argc)
    , argv_(argv)
    , toolkitArgv_{argc > 0 && argv[0] ? argv[0] : kFallbackProgramName, nullptr}
    , drives_(std::move(drives))
{
}

LinuxPlatform::~LinuxPlatform()
{
    // The libraries' objects go first; the libraries themselves stay loaded until the process ends.
    desktop_.reset();
    applications_.reset();
}

DesktopServices* LinuxPlatform::desktop()
{
    if (desktopTried_)
        return desktop_.get();
    desktopTried_ = true;
    if (!DisplayAvailable()) {
        desktopError_ = "no display can be opened (DISPLAY and WAYLAND_DISPLAY name no running server)";
        return nullptr;
    }
    using Open = DesktopServices* (*)(int*, char**);
    const auto open = reinterpret_cast<Open>(OpenOwnLibrary(kDesktopLibraryFile, kOpenDesktopServicesSymbol, desktopError_));
    if (!open)
        return nullptr;
    // The toolkit sees the program's name only: a variant name such as "-reverse" or "-platform x" is the
    // user's text, never an option of the toolkit's.
    desktop_.reset(open(&toolkitArgc_, toolkitArgv_.data()));
    if (!desktop_)
        desktopError_ = "the desktop session could not be opened";
    return desktop_.get();
}

ApplicationLookup& LinuxPlatform::applications()
{
    if (!applications_) {
        std::string error;
        using Open = ApplicationLookup* (*)();
        const auto open = reinterpret_cast<Open>(OpenOwnLibrary(kApplicationLookupLibrary, kOpenApplicationLookupSymbol, error));
        if (!open)
            throw RuntimeError(RuntimeErrorNumber::FileNotFound, "", "the default applications: " + error);
        applications_.reset(open());
    }
    return *applications_;
}

int LinuxPlatform::messageBox(const std::string& prompt, int style, const std::optional<std::string>& title)
{
    const std::string shownTitle = title.value_or(kProgramTitle);
    if (DesktopServices* services = desktop())
        return services->messageBox(prompt, style, shownTitle);
    writeToStandardError(shownTitle, prompt);
    return message_answer::kNotShown;
}

void LinuxPlatform::writeToStandardError(const std::string& title, const std::string& text)
{
    std::fprintf(stderr, "%s: %s\n", title.c_str(), BoxTextWithLineFeeds(text).c_str());
}

std::optional<std::string> LinuxPlatform::inputBox(const std::string& prompt, const std::string& title,
                                                   const std::string& defaultText)
{
    if (DesktopServices* services = desktop())
        return services->inputBox(prompt, title, defaultText);
    writeToStandardError(title, prompt);
    return std::nullopt;
}

std::string LinuxPlatform::commandLine()
{
    std::string line;
    for (int i = 1; i < argc_; ++i) {
        if (i > 1)
            line += ' ';
        line += argv_[i];
    }
    return line;
}

std::string LinuxPlatform::programFolder()
{
    return ParentOf(ExecutablePath());
}

std::string LinuxPlatform::programPath()
{
    // A native path, which is a program path as it is: shortcuts name the real executable.
    return ExecutablePath();
}

void LinuxPlatform::beep()
{
    // The open window beeps as the toolkit does. Without a window the terminal's bell is the quickest way to
    // the user; started from the desktop there is no terminal, and the display's bell takes its place, rung
    // without loading the toolkit just for it. A Wayland session without XWayland gets no bell (README says
    // why).
    if (desktop_) {
        desktop_->beep();
        return;
    }
    const int terminal = ::open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (terminal >= 0) {
        [[maybe_unused]] const ssize_t ignored = ::write(terminal, "\a", 1);
        ::close(terminal);
        return;
    }
    RingXBell();
}

void LinuxPlatform::endProgram(ExitCode code)
{
    std::fflush(nullptr);
    std::_Exit(static_cast<int>(code));
}

}  // namespace velmora::linux_platform
