#pragma once

#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace velmora::testing {

// Environment changes for a started program: a value sets a variable, nullopt removes it.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

struct ProcessResult {
    int exitCode = -1;      // -1 when it was killed by a signal
    int signal = 0;
    std::string output;     // standard output
    std::string errors;     // standard error
};

// Starts a program with exactly these arguments in a session of its own (so it has no terminal), without a
// shell, and returns its pid. Its output goes to the given files.
pid_t StartProgram(const std::vector<std::string>& argv, const EnvironmentChanges& environment,
                   const std::string& outputFile = "/dev/null", const std::string& errorFile = "/dev/null");

// Runs a program to its end and collects what it printed.
ProcessResult RunProgram(const std::vector<std::string>& argv, const EnvironmentChanges& environment);

// The environment changes that take every display away.
EnvironmentChanges WithoutDisplay();

}  // namespace velmora::testing
