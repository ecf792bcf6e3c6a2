#pragma once

#include <memory>
#include <optional>
#include <string>

#include "shell/platform.h"
#include "shell/windows/current_directory_win.h"
#include "shell/windows/on_demand_calls_win.h"

namespace velmora::windows_platform {

class WScriptShell;

// The platform on Windows, with the Win32 API only (ANSI functions: texts are bytes in the system's code
// page): message boxes and an input box of our own, CreateProcessA, durable file replacement, the system's
// directory search, per-drive current directories, FindExecutableA and the WScript.Shell object. Paths are
// real Windows paths; nothing is mapped. Holds no program logic.
class WindowsPlatform final : public Platform {
public:
    WindowsPlatform();
    ~WindowsPlatform() override;

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

    std::string currentDirectory() override;
    void changeDrive(const std::string& drive) override;
    void changeDirectory(const std::string& path) override;

    std::string findExecutable(const std::string& file) override;
    std::string specialFolder(const std::string& name) override;
    std::unique_ptr<ShellShortcut> createShortcut(const std::string& path) override;

private:
    // The shell object, created on first use; null when the system has none.
    WScriptShell* shell();

    DriveDirectories drives_;
    bool shellTried_ = false;
    std::optional<ScopedComApartment> comApartment_;  // declared before the shell object, so left after it
    std::unique_ptr<WScriptShell> shell_;
};

// The running executable's full path (GetModuleFileNameA), however long.
std::string ExecutablePath();

// Clears the DNS Client's cache of answers (DnsFlushResolverCache, dnsapi.dll loaded on this first use), so
// that answers cached before a switch of `hosts` do not outlive it. Whether the call could be made: false
// where the system has no such call, which is never an error (the switch stands).
bool FlushDnsClientCache();

}  // namespace velmora::windows_platform
