#pragma once

#include <optional>

#include "shell/platform.h"

namespace velmora::testing {

// Thrown by the test platforms' endProgram() so that nothing after the end runs; a real platform ends the
// process instead. Deliberately not a std::exception: no handler of the program catches it.
struct ProgramEnded {
    ExitCode code;
};

// Runs a piece of logic that may end the program; returns the exit code when it did.
template <typename Action>
std::optional<ExitCode> RunUntilEnd(Action&& action)
{
    try {
        action();
    } catch (const ProgramEnded& ended) {
        return ended.code;
    }
    return std::nullopt;
}

}  // namespace velmora::testing
