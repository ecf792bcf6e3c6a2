#include "tests/support/process_runner.h"

#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>

#include "tests/support/temp_directory.h"

extern char** environ;

namespace velmora::testing {

pid_t StartProgram(const std::vector<std::string>& argv, const EnvironmentChanges& environment,
                   const std::string& outputFile, const std::string& errorFile)
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        if (!environment.count(variable.substr(0, variable.find('='))))
            variables.push_back(variable);
    }
    for (const auto& [name, value] : environment)
        if (value)
            variables.push_back(name + "=" + *value);

    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::vector<char*> arguments;
    for (const std::string& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, arguments.front(), &actions, &attributes, arguments.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        throw std::runtime_error(std::string("cannot start ") + argv.front() + ": " + std::strerror(error));
    return pid;
}

ProcessResult RunProgram(const std::vector<std::string>& argv, const EnvironmentChanges& environment)
{
    TempDirectory capture;
    const pid_t pid = StartProgram(argv, environment, capture / "out", capture / "err");
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    ProcessResult result;
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    result.output = ReadFile(capture / "out");
    result.errors = ReadFile(capture / "err");
    return result;
}

EnvironmentChanges WithoutDisplay()
{
    return {{"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};
}

}  // namespace velmora::testing
