#pragma once

#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace velmora::linux_platform {

// A command line as the programs started by Velmora read theirs: the program, then everything after the one
// blank that follows it as a single argument, with one pair of enclosing double quotes removed.
//
// The program is a quoted first word, or else, as the home platform does for an unquoted path with blanks,
// the shortest blank-ended prefix that names an existing program file (asked of `isProgramFile`), or else
// the first word.
struct CommandLineParts {
    std::string program;
    std::optional<std::string> argument;
};
CommandLineParts SplitCommandLine(const std::string& commandLine,
                                  const std::function<bool(const std::string&)>& isProgramFile);

// The desktop programs that stand in for the home platform's text editor and file manager.
enum class StandInProgram { None, TextEditor, FileManager };
// "Notepad.exe" and "Explorer.exe" in any case, with or without a folder in front or the extension.
StandInProgram StandInFor(const std::string& program);

// The argument vector the spawn calls take: a pointer to each of `argv`'s texts, then nullptr. It holds
// pointers only, so `argv` must outlive it. The one place an argument list becomes a C argument vector.
std::vector<char*> ArgumentVector(const std::vector<std::string>& argv);

// Waits for a started child to end, trying again when a signal interrupts the wait: true with its wait
// status, or false (errno set) when it cannot be waited for.
bool WaitForChild(pid_t pid, int& status);

// Starts a program with exactly these arguments, without any shell, in a session of its own, and does not
// wait for it (the child is reaped in the background so that no zombie is left). A program named without
// a slash is looked up on PATH. It starts in `workingDirectory`, or in the caller's when that is empty.
// Throws RuntimeError when it cannot be started.
pid_t StartDetached(const std::vector<std::string>& argv, const std::string& workingDirectory = {});

}  // namespace velmora::linux_platform
