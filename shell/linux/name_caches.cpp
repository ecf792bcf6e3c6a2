#include "shell/linux/name_caches.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/linux/process_start.h"

namespace velmora::linux_platform {

namespace {
constexpr char kNscdSocket[] = "/run/nscd/socket";
constexpr char kNscdProgram[] = "/usr/sbin/nscd";
}  // namespace

void FlushHostsNameCaches()
{
    struct stat status {};
    if (::lstat(kNscdSocket, &status) != 0 || !S_ISSOCK(status.st_mode) || ::access(kNscdProgram, X_OK) != 0)
        return;
    const std::vector<std::string> argv = {"nscd", "-i", "hosts"};
    std::vector<char*> arguments = ArgumentVector(argv);
    char* noEnvironment[] = {nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, kNscdProgram, &actions, nullptr, arguments.data(), noEnvironment);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return;
    int exitStatus = 0;
    WaitForChild(pid, exitStatus);
}

}  // namespace velmora::linux_platform
