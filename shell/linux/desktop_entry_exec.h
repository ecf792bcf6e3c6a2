#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::linux_platform {

// The user's default application for a kind of file, as the desktop's MIME associations (GIO) name it.
struct DefaultApplication {
    std::string desktopFile;                   // the .desktop file it comes from
    std::vector<std::string> commandTemplate;  // its Exec line split by the Desktop Entry rules, field codes kept
    std::string executable;                    // full path of the program the Exec line starts
    std::string name;                          // its Name, which %c stands for
    std::string icon;                          // its Icon, which %i stands for (with --icon)
    bool inTerminal = false;                   // Terminal=true: it runs in a terminal window
    std::string workingDirectory;              // its Path; empty: the caller's directory
};

// The argument vector that opens one file path or URL with the application, as the desktop's own launch
// expands the Exec line: %f %F %u %U become the target as a single argument (appended when the Exec line
// names none; nothing when there is no target), %i becomes --icon and the icon, %c the name, %k the desktop
// file, %% a percent sign; the deprecated codes are dropped. No terminal is added here. Nothing is ever
// given to a shell.
//
// Nothing when the code that takes the target is part of a larger argument (`sh -c "cat %f"`, `--file=%f`):
// such an argument may be a shell's script, where a name like `hosts.a;id` would run `id`; the target only
// ever goes over as one whole argument of its own, whatever bytes it holds.
std::optional<std::vector<std::string>> CommandLineFor(const DefaultApplication& application,
                                                       const std::optional<std::string>& target);

// The command that runs `command` in a terminal window: the first terminal found on the search path (asked
// of `findOnSearchPath`, which gives a full path or empty text), with its option that takes the rest of the
// arguments as the program to run and its arguments. Debian's x-terminal-emulator, the administrator's
// choice, comes first, then the terminals the desktop's own launch knows, in its order. Nothing when no
// terminal is installed.
std::optional<std::vector<std::string>> InTerminal(
    const std::vector<std::string>& command, const std::function<std::string(const std::string&)>& findOnSearchPath);

}  // namespace velmora::linux_platform
