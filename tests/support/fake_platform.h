#pragma once

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "shell/platform.h"
#include "shell/runtime_error.h"
#include "tests/support/program_ended.h"

namespace velmora::testing {

// A recording platform for tests of the logic: an in-memory hosts drive, scripted answers to boxes, and a
// log of every call that has an effect a user could notice, in order.
//
// Files are keyed by their full program path as the test writes them; lookups match names without regard
// to case (ASCII letters only), with `*` and `?` and the trailing ".*" rule of the real platforms. A folder
// exists while it holds a file or another entry, and the program's folder always.
// endProgram() throws ProgramEnded.
class FakePlatform : public Platform {
public:
    // Log lines: "box|<prompt>|<style>|<title or -> ", "input|<prompt>|<title>|<default>", "beep",
    // "end|<code>", "start|<command line>|<style>", "replace|<path>", "append|<path>", "create|<path>",
    // "delete|<path>", "cd|<dir>", "drive|<d>".
    std::vector<std::string> log;

    std::map<std::string, std::string> files;  // full path -> content
    std::vector<std::string> otherEntries;     // full paths of folders, links, devices: never listed
    std::deque<int> messageAnswers;            // answers for the next boxes; OK / Yes when empty
    std::deque<std::string> inputAnswers;      // answers for the next input boxes; Cancel when empty
    std::map<std::string, RuntimeErrorNumber> failures;  // "<operation>|<path>" -> error thrown
    std::string commandLineText;
    std::string programFolderText = "C:\\Tools";
    std::string programPathText = "C:\\Tools\\velmora.exe";
    // Set: no box can be shown, as on a machine without a display.
    bool noDisplay = false;
    // What the privileged helper answers; unless NotNeeded, each call logs "privileged|switch|<name>" or
    // "privileged|backup".
    PrivilegedChange privilegedAnswer = PrivilegedChange::NotNeeded;
    // Set: the helper could not ask for the consent, and the call throws ConsentNotAsked with this text.
    std::optional<std::string> consentNotAsked;
    // Paths whose writes (replace, append, create, delete) throw NeedsAdministratorRights.
    std::set<std::string> needingRights;
    std::optional<ExitCode> endedWith;
    // Set: the fake tells file sizes and keeps hidden copies, logging "keep|<path>" for each.
    bool keepsCopies = false;

    int messageBox(const std::string& prompt, int style, const std::optional<std::string>& title) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override;
    std::string commandLine() override { return commandLineText; }
    std::string programFolder() override { return programFolderText; }
    std::string programPath() override { return programPathText; }
    void beep() override { log.push_back("beep"); }
    [[noreturn]] void endProgram(ExitCode code) override;
    double startProcess(const std::string& commandLine, int windowStyle) override;
    std::vector<std::string> findFiles(const std::string& pattern) override;
    // As the real platforms fold names: upper case (of ASCII letters only).
    std::string caseBlindKey(const std::string& name) override;
    std::optional<std::string> storedEntryName(const std::string& path) override;
    // A path of more characters than this cannot hold a file (as MAX_PATH less the room for a replacement's
    // siblings on Windows).
    bool canKeepFileAt(const std::string& path) override { return path.size() <= longestKeptPath; }
    std::size_t longestKeptPath = 224;
    std::string readTextFile(const std::string& path) override;
    void replaceTextFile(const std::string& path, const TextPieces& content) override;
    void appendTextFile(const std::string& path, const std::string& content) override;
    bool createTextFileIfAbsent(const std::string& path, const std::string& content) override;
    void deleteFile(const std::string& path) override;
    std::optional<std::uint64_t> fileSize(const std::string& path) override;
    void keepHiddenCopy(const std::string& path) override;
    // Recorded apart from the log: every start does it first, and the log is about what a user notices.
    void finishInterruptedReplacements(const std::string& folder) override { finishedFolders.push_back(folder); }
    std::vector<std::string> finishedFolders;
    PrivilegedChange switchWithPrivileges(const std::string& hostsDir, const std::string& variantName) override;
    PrivilegedChange backupWithPrivileges(const std::string& hostsDir) override;
    std::string currentDirectory() override { return currentDirectoryText; }
    void changeDrive(const std::string& drive) override;
    void changeDirectory(const std::string& path) override;
    std::string findExecutable(const std::string& file) override;
    std::string specialFolder(const std::string& name) override;
    // Logs "shortcut|<path>"; the object logs each value set as "<property>|<value>" (TargetPath,
    // WorkingDirectory, WindowStyle, Arguments, IconLocation) and "save|<path>" (failures: "save|<path>").
    std::unique_ptr<ShellShortcut> createShortcut(const std::string& path) override;

    std::string currentDirectoryText = "C:\\";
    std::map<std::string, std::string> associations;  // upper-cased extension such as ".HTML" -> program
    std::map<std::string, std::string> specialFolders{{"Desktop", "C:\\Users\\me\\Desktop"}};

    // The message boxes shown so far, as log lines.
    std::vector<std::string> boxes() const;

private:
    void failIfScripted(const std::string& operation, const std::string& path) const;
    // Refuses as the real platforms do what the drive cannot hold: a file in a folder that holds nothing
    // (Path not found), a file where another entry stands (Path/File access error).
    void failLikeTheDrive(const std::string& path) const;
    std::optional<std::string> storedKeyOf(const std::string& path) const;
};

}  // namespace velmora::testing
