#pragma once

#include <string>
#include <vector>

namespace velmora::linux_platform {

// The icon name Velmora's launchers show; the desktop finds it in the icon theme.
inline constexpr char kVelmoraIconName[] = "velmora";

// A freedesktop application launcher (.desktop file) that runs one command, without any field codes.
struct DesktopLauncher {
    std::string name;                  // what the desktop shows under the icon
    std::vector<std::string> command;  // the program's full path, then each argument as it is to arrive
    std::string workingDirectory;      // empty: the desktop's choice
    std::string icon;                  // icon name or full path of an image
};

// One argument as an Exec line holds it, before the file's own escaping: quoted where it holds a reserved
// character (or is empty), with ", `, $ and \ escaped inside the quotes; % doubled everywhere.
std::string ExecLineArgument(const std::string& argument);

// A text as a value line of a desktop file holds it: \, newline, tab and CR escaped, a leading blank as \s.
std::string DesktopFileValue(const std::string& text);

// The content of the launcher's .desktop file: each argument reaches the program exactly as given.
std::string DesktopLauncherContent(const DesktopLauncher& launcher);

}  // namespace velmora::linux_platform
