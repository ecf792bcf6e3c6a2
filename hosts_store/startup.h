#pragma once

#include <optional>
#include <string>

namespace velmora {

class Platform;

// What start-up leaves for the window once the steps that need no window are done.
struct StartupOutcome {
    std::string hostsDir;
    // Replaces the window's normal caption for the whole run when the command line named no variant.
    std::optional<std::string> caption;
    // The command line named something and did not switch: without a window that is how the run ends.
    bool commandLineRefused = false;
};

// Whether a command-line name can name a variant at all: not empty, no wildcard `*`, and nothing that
// could lead out of the hosts directory (`\`, `/`, `:`, control characters, or the names `.` and `..`).
bool IsValidSwitchArgument(const std::string& argument);

// The start-up steps that come before the window: fixes the hosts directory, finishes what an interrupted
// replacement left there, runs the command-line
// switch, stops when there is no active hosts file and makes the first-start backup. It ends the program
// (through the platform) after a switch or a stop; otherwise it returns what the window needs. It does
// not touch the window: filling and selecting the list is the window's part of start-up.
StartupOutcome RunStartupBeforeWindow(Platform& platform);

// Switches to the variant named by the argument and ends the program, or tells the user why not and
// returns. Returns the window caption that replaces the normal one when the name matches no variant.
std::optional<std::string> ProcessCommandLine(Platform& platform, const std::string& hostsDir,
                                              const std::string& argument);

}  // namespace velmora
