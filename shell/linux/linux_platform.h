#pragma once

#include <array>
#include <memory>
#include <string>

#include "shell/linux/drive_mapping.h"
#include "shell/platform.h"

namespace velmora::linux_platform {

class ApplicationLookup;
class DesktopServices;

// The platform on Linux: POSIX for files, processes and the terminal; the desktop library (Qt) for dialogs
// and the window, and the application-lookup library (GIO) for default applications, each loaded only when
// first needed so that a window-less switch starts fast and needs no display. Maps the program's C:\ paths
// through DriveMapping. Holds no program logic. Its members are kept by job: the sessions, dialogs and the
// program itself here, processes, files and the shell in linux_platform_{processes,files,shell}.cpp.
class LinuxPlatform final : public Platform {
public:
    LinuxPlatform(int& argc, char** argv, DriveMapping drives);
    ~LinuxPlatform() override;

    // The desktop session, opened on first use. Null when no display can be opened or the desktop library
    // cannot be loaded; desktopUnavailableReason() then says why.
    DesktopServices* desktop();
    const std::string& desktopUnavailableReason() const { return desktopError_; }

    // The default-application lookups, opened on first use; throws RuntimeError when they cannot be loaded.
    ApplicationLookup& applications();

    int messageBox(const std::string& prompt, int style, const std::optional<std::string>& title) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override;

    std::string commandLine() override;
    std::string programFolder() override;
    std::string programPath() override;
    void beep() override;
    [[noreturn]] void endProgram(ExitCode code) override;

    double startProcess(const std::string& commandLine, int windowStyle) override;

    std::vector<std::string> findFiles(const std::string& pattern) override;
    std::string readTextFile(const std::string& path) override;
    void replaceTextFile(const std::string& path, const TextPieces& content) override;
    void appendTextFile(const std::string& path, const std::string& content) override;
    bool createTextFileIfAbsent(const std::string& path, const std::string& content) override;
    void deleteFile(const std::string& path) override;

    PrivilegedChange switchWithPrivileges(const std::string& hostsDir, const std::string& variantName) override;
    PrivilegedChange backupWithPrivileges(const std::string& hostsDir) override;

    std::string currentDirectory() override;
    void changeDrive(const std::string& drive) override;
    void changeDirectory(const std::string& path) override;

    std::string findExecutable(const std::string& file) override;
    std::string specialFolder(const std::string& name) override;
    std::unique_ptr<ShellShortcut> createShortcut(const std::string& path) override;

private:
    std::string nativePathOf(const std::string& path, bool forWriting = false) const;
    bool isProgramFile(const std::string& program) const;
    // Whether a native path lies in the system's hosts directory (never in a sandbox drive) and the running
    // user may not change what is in it.
    bool needsRightsFor(const std::string& nativePath, bool fileItselfWritable = false) const;
    PrivilegedChange runPrivilegedHelper(const std::string& hostsDir, const std::vector<std::string>& command);

    int& argc_;
    char** argv_;
    int toolkitArgc_ = 1;
    std::array<char*, 2> toolkitArgv_;
    DriveMapping drives_;
    std::unique_ptr<DesktopServices> desktop_;
    bool desktopTried_ = false;
    std::string desktopError_;
    std::unique_ptr<ApplicationLookup> applications_;
};

}  // namespace velmora::linux_platform
