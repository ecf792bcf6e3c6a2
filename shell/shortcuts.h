#pragma once

#include <cstdint>
#include <string>

namespace velmora {

class Platform;

// Writes one shortcut file into a special folder of the user, such as "Desktop": the file is named after
// the link name with ".lnk" and starts the target with the arguments in the working directory, showing the
// target's icon of the given index. It makes no test of its own: a missing folder, an invalid name or an
// existing shortcut of that name are left to the platform (which replaces an existing one). Failures of
// the platform pass to the caller; nothing is written unless the save itself ran.
void CreateShellShortcut(Platform& platform, const std::string& targetPath, const std::string& specialFolderName,
                         const std::string& linkName, const std::string& arguments,
                         const std::string& workingDirectory, std::int16_t windowStyle, std::int16_t iconIndex);

}  // namespace velmora
