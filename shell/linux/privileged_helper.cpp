#include "shell/linux/privileged_helper.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shell/linux/posix_io.h"
#include "shell/linux/process_start.h"
#include "shell/runtime_error.h"
#include "velmora/install_layout_config.h"

extern char** environ;

namespace velmora::linux_platform {

namespace {

// Closes both ends of a pipe that are still open when it goes out of scope.
class Pipe {
public:
    Pipe()
    {
        if (::pipe2(ends_, O_CLOEXEC) != 0)
            throw RuntimeError(RuntimeErrorNumber::TooManyFiles, "", std::strerror(errno));
    }
    ~Pipe()
    {
        closeRead();
        closeWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    int read() const { return ends_[0]; }
    int write() const { return ends_[1]; }
    void closeRead() { closeEnd(0); }
    void closeWrite() { closeEnd(1); }

private:
    void closeEnd(int which)
    {
        if (ends_[which] >= 0)
            ::close(ends_[which]);
        ends_[which] = -1;
    }
    int ends_[2] = {-1, -1};
};

}  // namespace

std::string SwitchHelperPathFor(const std::string& executablePath)
{
    const std::string prefix = ParentOf(ParentOf(executablePath));
    return (prefix == "/" ? std::string() : prefix) + "/" + kConfiguredLibexecDirectory + "/velmora/velmora-switch";
}

bool MayWriteDirectory(const std::string& nativeDirectory)
{
    return ::faccessat(AT_FDCWD, nativeDirectory.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::string WhatToDoWithoutAnAgent(const std::string& rootCommand)
{
    return "Try again where an authentication agent can ask for the password (in a desktop session, or with "
           "pkttyagent in a terminal), or as root: " +
           rootCommand;
}

PrivilegedChange OutcomeOfHelperRun(int exitCode, const std::string& errors, const std::string& hostsPath,
                                    const std::string& instead)
{
    constexpr int kDismissed = 126;
    constexpr int kNotAuthorizedOrNotAsked = 127;
    if (exitCode == static_cast<int>(ExitCode::Normal))
        return PrivilegedChange::Made;
    if (exitCode == kDismissed || exitCode == static_cast<int>(ExitCode::NeedsAdministratorRights))
        return PrivilegedChange::Refused;

    std::string said = errors;
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r'))
        said.pop_back();
    if (exitCode == kNotAuthorizedOrNotAsked) {
        // pkexec ends with 127 both for a denial and for every way it can fail to ask; only its words tell.
        if (said.find("Not authorized") != std::string::npos)
            return PrivilegedChange::Refused;
        const std::string lastLine = said.substr(said.find_last_of('\n') + 1);
        throw ConsentNotAsked(std::string("pkexec: ") + (lastLine.empty() ? "ended with code 127" : lastLine) +
                              kCR + kCR + instead);
    }
    const RuntimeErrorNumber number = exitCode == static_cast<int>(ExitCode::CommandLineRefused)
                                          ? RuntimeErrorNumber::BadFileNameOrNumber
                                      : exitCode == static_cast<int>(ExitCode::HostsMissing)
                                          ? RuntimeErrorNumber::FileNotFound
                                          : RuntimeErrorNumber::PathFileAccessError;
    const std::string how = exitCode < 0 ? "ended by a signal" : "ended with code " + std::to_string(exitCode);
    throw RuntimeError(number, hostsPath, "the privileged helper " + how + (said.empty() ? "" : ": " + said));
}

int RunToEnd(const std::vector<std::string>& argv, std::string& errors)
{
    if (argv.empty())
        throw RuntimeError(RuntimeErrorNumber::FileNotFound, "", "no program to start");
    std::vector<char*> arguments = ArgumentVector(argv);

    Pipe errorPipe;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errorPipe.write(), STDERR_FILENO);
    pid_t pid = 0;
    const int spawnError = ::posix_spawn(&pid, arguments.front(), &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawnError != 0)
        throw RuntimeError(RuntimeErrorNumber::FileNotFound, argv.front(), std::strerror(spawnError));
    errorPipe.closeWrite();

    errors.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t got = ReadSome(errorPipe.read(), buffer, sizeof buffer);
        if (got <= 0)
            break;
        errors.append(buffer, static_cast<std::size_t>(got));
    }
    int status = 0;
    if (!WaitForChild(pid, status))
        throw RuntimeError(RuntimeErrorNumber::InternalError, argv.front(), std::strerror(errno));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace velmora::linux_platform
