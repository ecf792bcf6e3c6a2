#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "shell/platform.h"

namespace velmora::linux_platform {

// A shortcut as the Linux desktop needs it: save() writes the Shell Link file and, beside it under the same
// name with ".desktop", a launcher that a double-click on the desktop runs (the .lnk alone does nothing
// there). Both are replaced atomically when they exist. It turns the values it was given into native paths
// through the platform's mapping and knows nothing of what the shortcut is for.
class LinuxShortcut final : public ShellShortcut {
public:
    // The native path of a path as the logic gives it.
    using NativePathOf = std::function<std::string(const std::string&)>;

    LinuxShortcut(std::string nativeLinkPath, NativePathOf nativePathOf);

    void setTargetPath(const std::string& path) override { targetPath_ = path; }
    void setWorkingDirectory(const std::string& path) override { workingDirectory_ = path; }
    void setWindowStyle(std::int16_t style) override { windowStyle_ = style; }
    void setArguments(const std::string& arguments) override { arguments_ = arguments; }
    void setIconLocation(const std::string& location) override { iconLocation_ = location; }
    // Writes the .lnk, then the launcher. Throws RuntimeError when either cannot be written, or when there
    // is no target to start.
    void save() override;

    // The launcher written beside a link: the link's path with ".lnk" (in any case) replaced by ".desktop".
    static std::string LauncherPathOf(const std::string& nativeLinkPath);

private:
    std::string nativeLinkPath_;
    NativePathOf nativePathOf_;
    std::string targetPath_;
    std::string workingDirectory_;
    std::int16_t windowStyle_ = 0;
    std::string arguments_;
    std::string iconLocation_;
};

}  // namespace velmora::linux_platform
