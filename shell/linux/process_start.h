#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace velmora::linux_platform {

// A command line as the programs started by Velmora read theirs: the program (a quoted or a blank-free
// first word), then everything after the one blank that follows it as a single argument, with one pair of
// enclosing double quotes removed.
struct CommandLineParts {
    std::string program;
    std::optional<std::string> argument;
};
CommandLineParts SplitCommandLine(const std::string& commandLine);

// Starts a program with exactly these arguments, without any shell, in a session of its own, and does not
// wait for it (the child is reaped in the background so that no zombie is left). A program named without
// a slash is looked up on PATH. Throws RuntimeError when it cannot be started.
pid_t StartDetached(const std::vector<std::string>& argv);

}  // namespace velmora::linux_platform
