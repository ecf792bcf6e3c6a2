#include "shell/linux/process_start.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

#include "shell/linux/errno_mapping.h"
#include "shell/paths.h"
#include "shell/runtime_error.h"

extern char** environ;

namespace velmora::linux_platform {

CommandLineParts SplitCommandLine(const std::string& commandLine,
                                  const std::function<bool(const std::string&)>& isProgramFile)
{
    CommandLineParts parts;
    std::size_t restStart = std::string::npos;
    if (!commandLine.empty() && commandLine.front() == '"') {
        const std::size_t closing = commandLine.find('"', 1);
        parts.program = commandLine.substr(1, closing == std::string::npos ? std::string::npos : closing - 1);
        if (closing != std::string::npos && closing + 1 < commandLine.size())
            restStart = commandLine[closing + 1] == ' ' ? closing + 2 : closing + 1;
    } else {
        std::size_t blank = commandLine.find(' ');
        const std::size_t firstBlank = blank;
        while (blank != std::string::npos && !isProgramFile(commandLine.substr(0, blank)))
            blank = commandLine.find(' ', blank + 1);
        if (blank == std::string::npos && !isProgramFile(commandLine))
            blank = firstBlank;
        parts.program = commandLine.substr(0, blank);
        if (blank != std::string::npos)
            restStart = blank + 1;
    }
    if (restStart != std::string::npos && restStart < commandLine.size()) {
        std::string rest = commandLine.substr(restStart);
        if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"')
            rest = rest.substr(1, rest.size() - 2);
        parts.argument = std::move(rest);
    }
    return parts;
}

StandInProgram StandInFor(const std::string& program)
{
    std::string name = LastPartOf(program, "\\/:");  // a drive's colon ends a folder part too
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name == "notepad.exe" || name == "notepad")
        return StandInProgram::TextEditor;
    if (name == "explorer.exe" || name == "explorer")
        return StandInProgram::FileManager;
    return StandInProgram::None;
}

std::vector<char*> ArgumentVector(const std::vector<std::string>& argv)
{
    std::vector<char*> arguments;
    arguments.reserve(argv.size() + 1);
    for (const std::string& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    return arguments;
}

bool WaitForChild(pid_t pid, int& status)
{
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return false;
    return true;
}

pid_t StartDetached(const std::vector<std::string>& argv, const std::string& workingDirectory)
{
    if (argv.empty() || argv.front().empty())
        throw RuntimeError(RuntimeErrorNumber::FileNotFound, "", "no program to start");

    std::vector<char*> arguments = ArgumentVector(argv);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGCHLD);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t noneBlocked;
    sigemptyset(&noneBlocked);
    posix_spawnattr_setsigmask(&attributes, &noneBlocked);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!workingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());

    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, arguments.front(), &actions, &attributes, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        const RuntimeErrorNumber number =
            error == ENOENT ? RuntimeErrorNumber::FileNotFound : ErrorNumberFromErrno(error, true);
        throw RuntimeError(number, argv.front(), "cannot start the program");
    }

    // Never waited for by the caller; a small thread collects the exit status so no zombie stays behind.
    std::thread([pid] {
        int status = 0;
        WaitForChild(pid, status);
    }).detach();
    return pid;
}

}  // namespace velmora::linux_platform
