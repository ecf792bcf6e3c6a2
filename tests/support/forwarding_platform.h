#pragma once

#include <cstdlib>

#include "shell/platform.h"

namespace velmora::testing {

// Passes every call on to another platform. Tests derive from it to replace only the calls whose real
// effect they must not have (a bell, a second toolkit application, the end of the test process).
class ForwardingPlatform : public Platform {
public:
    explicit ForwardingPlatform(Platform& inner) : inner_(inner) {}

    int messageBox(const std::string& prompt, int style, const std::optional<std::string>& title) override
    {
        return inner_.messageBox(prompt, style, title);
    }
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override
    {
        return inner_.inputBox(prompt, title, defaultText);
    }
    std::string commandLine() override { return inner_.commandLine(); }
    std::string programFolder() override { return inner_.programFolder(); }
    std::string programPath() override { return inner_.programPath(); }
    void beep() override { inner_.beep(); }
    [[noreturn]] void endProgram(ExitCode code) override
    {
        inner_.endProgram(code);
        std::abort();  // not reached: no platform returns from ending the program
    }
    double startProcess(const std::string& line, int style) override { return inner_.startProcess(line, style); }
    std::vector<std::string> findFiles(const std::string& pattern) override { return inner_.findFiles(pattern); }
    std::string caseBlindKey(const std::string& name) override { return inner_.caseBlindKey(name); }
    std::optional<std::string> storedEntryName(const std::string& path) override
    {
        return inner_.storedEntryName(path);
    }
    bool canKeepFileAt(const std::string& path) override { return inner_.canKeepFileAt(path); }
    std::string readTextFile(const std::string& path) override { return inner_.readTextFile(path); }
    void replaceTextFile(const std::string& path, const TextPieces& content) override
    {
        inner_.replaceTextFile(path, content);
    }
    void appendTextFile(const std::string& path, const std::string& content) override
    {
        inner_.appendTextFile(path, content);
    }
    bool createTextFileIfAbsent(const std::string& path, const std::string& content) override
    {
        return inner_.createTextFileIfAbsent(path, content);
    }
    void deleteFile(const std::string& path) override { inner_.deleteFile(path); }
    void finishInterruptedReplacements(const std::string& folder) override
    {
        inner_.finishInterruptedReplacements(folder);
    }
    PrivilegedChange switchWithPrivileges(const std::string& hostsDir, const std::string& variantName) override
    {
        return inner_.switchWithPrivileges(hostsDir, variantName);
    }
    PrivilegedChange backupWithPrivileges(const std::string& hostsDir) override
    {
        return inner_.backupWithPrivileges(hostsDir);
    }
    std::string currentDirectory() override { return inner_.currentDirectory(); }
    void changeDrive(const std::string& drive) override { inner_.changeDrive(drive); }
    void changeDirectory(const std::string& path) override { inner_.changeDirectory(path); }
    std::string findExecutable(const std::string& file) override { return inner_.findExecutable(file); }
    std::string specialFolder(const std::string& name) override { return inner_.specialFolder(name); }
    std::unique_ptr<ShellShortcut> createShortcut(const std::string& path) override
    {
        return inner_.createShortcut(path);
    }

private:
    Platform& inner_;
};

}  // namespace velmora::testing
