#include "shell/shortcuts.h"

#include "shell/platform.h"
#include "shell/runtime_error.h"

namespace velmora {

void CreateShellShortcut(Platform& platform, const std::string& targetPath, const std::string& specialFolderName,
                         const std::string& linkName, const std::string& arguments,
                         const std::string& workingDirectory, std::int16_t windowStyle, std::int16_t iconIndex)
{
    const std::string folder = platform.specialFolder(specialFolderName);
    const std::string shortcutPath = folder + "\\" + linkName + ".lnk";
    const std::unique_ptr<ShellShortcut> shortcut = platform.createShortcut(shortcutPath);
    if (!shortcut)
        throw RuntimeError(RuntimeErrorNumber::InternalError, shortcutPath, "the platform gave no shortcut object");
    shortcut->setTargetPath(targetPath);
    shortcut->setWorkingDirectory(workingDirectory);
    shortcut->setWindowStyle(windowStyle);
    shortcut->setArguments(arguments);
    shortcut->setIconLocation(targetPath + "," + std::to_string(iconIndex));
    shortcut->save();
}

}  // namespace velmora
