#pragma once

#include <string>
#include <vector>

namespace velmora::linux_platform {

// The user's default application for a kind of file, as the desktop's MIME associations (GIO) name it.
struct DefaultApplication {
    std::string desktopFile;                   // the .desktop file it comes from
    std::vector<std::string> commandTemplate;  // its Exec line split by the Desktop Entry rules, field codes kept
    std::string executable;                    // full path of the program the Exec line starts
};

// The argument vector that opens one file path or URL with the application: %f %F %u %U become the target
// as a single argument (appended when the Exec line names none), %k the desktop file, %% a percent sign;
// other field codes are dropped. Nothing is ever given to a shell.
std::vector<std::string> CommandLineFor(const DefaultApplication& application, const std::string& target);

}  // namespace velmora::linux_platform
