#pragma once

#include <array>
#include <memory>
#include <string>

#include "shell/linux/desktop_entry_exec.h"
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
//
// Default applications start as the desktop starts them, from their whole desktop entry: the stand-ins
// for the editor and the file manager, and a program that the association lookup has just named (the
// browser of the home-page link) when it is started on one argument.
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
    std::string caseBlindKey(const std::string& name) override;
    std::optional<std::string> storedEntryName(const std::string& path) override;
    bool canKeepFileAt(const std::string& path) override;
    std::string readTextFile(const std::string& path) override;
    void replaceTextFile(const std::string& path, const TextPieces& content) override;
    void replaceTextFileAfter(const std::string& path, const TextPieces& content,
                              const std::function<void()>& beforeReplacing) override;
    void appendTextFile(const std::string& path, const std::string& content) override;
    bool createTextFileIfAbsent(const std::string& path, const std::string& content) override;
    void deleteFile(const std::string& path) override;
    std::optional<std::uint64_t> fileSize(const std::string& path) override;
    bool fileHolds(const std::string& path, const TextPieces& content) override;
    void keepHiddenCopy(const std::string& path) override;
    void finishInterruptedReplacements(const std::string& folder) override;

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
    // Starts the application's Exec line for the target, in a terminal when the entry asks for one.
    double startApplication(const DefaultApplication& application, const std::optional<std::string>& target);
    // Whether a native path lies in the system's hosts directory (never in a sandbox drive) and the running
    // user may not change what is in it.
    bool needsRightsFor(const std::string& nativePath, bool fileItselfWritable = false) const;
    // A box's text as a terminal shows it: "title: text", its line breaks as new lines.
    static void writeToStandardError(const std::string& title, const std::string& text);
    // `rootCommand` is what makes the same change as root, for when pkexec cannot ask.
    PrivilegedChange runPrivilegedHelper(const std::string& hostsDir, const std::string& targetName,
                                         const std::vector<std::string>& command, const std::string& rootCommand);

    int& argc_;
    char** argv_;
    int toolkitArgc_ = 1;
    std::array<char*, 2> toolkitArgv_;
    DriveMapping drives_;
    std::unique_ptr<DesktopServices> desktop_;
    bool desktopTried_ = false;
    std::string desktopError_;
    std::unique_ptr<ApplicationLookup> applications_;
    // The application behind the last program path findExecutable answered, to start it from its entry.
    struct NamedApplication {
        std::string programPath;
        DefaultApplication application;
    };
    std::optional<NamedApplication> lastNamedApplication_;
};

}  // namespace velmora::linux_platform
