// LinuxPlatform: starting programs, by argv and never through a shell.

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/linux/application_lookup.h"
#include "shell/linux/desktop_entry_exec.h"
#include "shell/linux/environment.h"
#include "shell/linux/linux_platform.h"
#include "shell/linux/process_start.h"
#include "shell/runtime_error.h"

namespace velmora::linux_platform {

namespace {

// The full path of a program found on PATH, or empty text.
std::string FindOnSearchPath(const std::string& program)
{
    const std::string path = EnvironmentValue("PATH");
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        const std::string directory = end > start ? path.substr(start, end - start) : ".";
        const std::string candidate = directory + "/" + program;
        struct stat status {};
        if (::stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

}  // namespace

bool LinuxPlatform::isProgramFile(const std::string& program) const
{
    if (StandInFor(program) != StandInProgram::None)
        return true;
    if (program.find_first_of("\\/:") == std::string::npos)
        return !FindOnSearchPath(program).empty();
    try {
        struct stat status {};
        return ::stat(nativePathOf(program).c_str(), &status) == 0 && S_ISREG(status.st_mode);
    } catch (const RuntimeError&) {
        return false;
    }
}

double LinuxPlatform::startProcess(const std::string& commandLine, int /*windowStyle*/)
{
    const CommandLineParts parts =
        SplitCommandLine(commandLine, [this](const std::string& program) { return isProgramFile(program); });

    const StandInProgram standIn = StandInFor(parts.program);
    if (standIn != StandInProgram::None) {
        // The editor and the file manager are the desktop's default applications for plain text and folders.
        const std::string target = nativePathOf(parts.argument.value_or(""));
        const char* contentType = standIn == StandInProgram::TextEditor ? "text/plain" : "inode/directory";
        const auto application = applications().defaultApplicationFor(contentType, false);
        if (!application)
            throw RuntimeError(RuntimeErrorNumber::FileNotFound, parts.program,
                               std::string("no default application for ") + contentType);
        return startApplication(*application, target);
    }

    if (lastNamedApplication_ && parts.program == lastNamedApplication_->programPath && parts.argument)
        return startApplication(lastNamedApplication_->application, parts.argument);

    std::string program = parts.program;
    if (program.find_first_of("\\:") != std::string::npos)
        program = nativePathOf(program);
    std::vector<std::string> argv{program};
    if (parts.argument)
        argv.push_back(*parts.argument);
    return static_cast<double>(StartDetached(argv));
}

double LinuxPlatform::startApplication(const DefaultApplication& application, const std::optional<std::string>& target)
{
    std::optional<std::vector<std::string>> expanded = CommandLineFor(application, target);
    if (!expanded)
        throw RuntimeError(RuntimeErrorNumber::FileNotFound, application.executable,
                           application.desktopFile + " puts the file inside a larger argument of its Exec line");
    std::vector<std::string> command = std::move(*expanded);
    if (application.inTerminal) {
        auto inTerminal = InTerminal(command, FindOnSearchPath);
        if (!inTerminal)
            throw RuntimeError(RuntimeErrorNumber::FileNotFound, application.executable,
                               "no terminal for " + application.desktopFile + " (x-terminal-emulator, xterm, ...)");
        command = std::move(*inTerminal);
    }
    return static_cast<double>(StartDetached(command, application.workingDirectory));
}

}  // namespace velmora::linux_platform
