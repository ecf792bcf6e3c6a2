#include "shell/linux/linux_shortcut.h"

#include "shell/linux/desktop_launcher.h"
#include "shell/linux/posix_files.h"
#include "shell/paths.h"
#include "shell/runtime_error.h"
#include "shell/shell_link.h"
#include "shell/string_ops.h"

namespace velmora::linux_platform {

namespace {

constexpr char kLinkExtension[] = ".lnk";
constexpr char kLauncherExtension[] = ".desktop";

std::string WithoutLinkExtension(const std::string& path)
{
    const std::string extension = kLinkExtension;
    if (path.size() > extension.size() &&
        LowerCaseAscii(path.substr(path.size() - extension.size())) == extension)
        return path.substr(0, path.size() - extension.size());
    return path;
}

}  // namespace

LinuxShortcut::LinuxShortcut(std::string nativeLinkPath, NativePathOf nativePathOf)
    : nativeLinkPath_(std::move(nativeLinkPath))
    , nativePathOf_(std::move(nativePathOf))
{
}

std::string LinuxShortcut::LauncherPathOf(const std::string& nativeLinkPath)
{
    return WithoutLinkExtension(nativeLinkPath) + kLauncherExtension;
}

void LinuxShortcut::save()
{
    if (targetPath_.empty())
        throw RuntimeError(RuntimeErrorNumber::InvalidProcedureCall, nativeLinkPath_, "the shortcut has no target");

    const std::string target = nativePathOf_(targetPath_);
    const std::string workingDirectory = workingDirectory_.empty() ? std::string() : nativePathOf_(workingDirectory_);
    std::string iconLocation;
    if (!iconLocation_.empty()) {
        const IconLocationParts icon = SplitIconLocation(iconLocation_);
        const std::string iconPath = icon.path.empty() ? std::string() : nativePathOf_(icon.path);
        iconLocation = iconPath + "," + std::to_string(icon.index);
    }

    DesktopLauncher launcher;
    launcher.name = LastPartOf(WithoutLinkExtension(nativeLinkPath_), kPosixSeparator);
    launcher.command = {target};
    if (!arguments_.empty())
        launcher.command.push_back(arguments_);  // the whole argument text is one command line, as on Windows
    launcher.workingDirectory = workingDirectory;
    launcher.icon = kVelmoraIconName;

    const std::string link = ShellLinkBytes({target, workingDirectory, windowStyle_, arguments_, iconLocation});
    const std::string launcherContent = DesktopLauncherContent(launcher);
    ReplaceFileAtomically(nativeLinkPath_, {link});
    ReplaceFileAtomically(LauncherPathOf(nativeLinkPath_), {launcherContent}, true);
}

}  // namespace velmora::linux_platform
