// LinuxPlatform: what the shell gives on the home platform: associations, special folders and shortcuts.

#include <cerrno>
#include <sys/stat.h>

#include "shell/linux/application_lookup.h"
#include "shell/linux/desktop_services.h"
#include "shell/linux/errno_mapping.h"
#include "shell/linux/file_names.h"
#include "shell/linux/linux_platform.h"
#include "shell/linux/linux_shortcut.h"
#include "shell/runtime_error.h"

namespace velmora::linux_platform {

std::string LinuxPlatform::findExecutable(const std::string& file)
{
    const std::string native = nativePathOf(file);
    struct stat status {};
    if (::lstat(native.c_str(), &status) != 0)
        throw ErrorFromErrno(errno, native);
    if (!S_ISREG(status.st_mode))
        return {};  // only an ordinary file has a content type of its own
    // GIO answers for a web page with the plain-text editor when no application handles web pages; an
    // editor is no browser, so for web pages only an application that declares the type itself counts.
    const std::string contentType = applications().contentTypeOfFile(native);
    const bool webPage = contentType == "text/html" || contentType == "application/xhtml+xml";
    const auto application = applications().defaultApplicationFor(contentType, webPage);
    if (!application)
        return {};
    // The caller starts the program it was named with its one argument; that start is made from the
    // application's entry, which is more than its program file.
    std::string programPath = drives_.toProgramPath(application->executable);
    lastNamedApplication_ = NamedApplication{programPath, *application};
    return programPath;
}

std::string LinuxPlatform::specialFolder(const std::string& name)
{
    // Only the desktop is known; for any other name the answer is empty, as the shell's is.
    if (!NamesEqualIgnoringCase(name, "Desktop"))
        return {};
    DesktopServices* services = desktop();
    if (!services)
        throw RuntimeError(RuntimeErrorNumber::DeviceUnavailable, "", "the desktop folder: " + desktopError_);
    return drives_.toProgramPath(services->desktopFolder());
}

std::unique_ptr<ShellShortcut> LinuxPlatform::createShortcut(const std::string& path)
{
    return std::make_unique<LinuxShortcut>(nativePathOf(path, true),
                                           [this](const std::string& given) { return nativePathOf(given); });
}

}  // namespace velmora::linux_platform
