#pragma once

#include <string>
#include <vector>

#include "shell/platform.h"

namespace velmora::linux_platform {

// Hands the changes of the system's hosts directory that the running user may not make to the privileged
// helper through pkexec: finds the helper beside the program, starts it by argument vector (never through a
// shell) and reads its answer. It changes no file itself and checks no name: every check is the helper's.

inline constexpr char kPkexecPath[] = "/usr/bin/pkexec";

// The helper's commands: `switch NAME` makes hosts.NAME the active hosts file, `backup` makes the first-start
// backup. Each has a polkit action of its own, told apart by the first argument.
inline constexpr char kSwitchVerb[] = "switch";
inline constexpr char kBackupVerb[] = "backup";

// Where the helper lies for a program at `executablePath`: <prefix>/<libexec>/velmora/velmora-switch for
// <prefix>/bin/velmora, spelt without "..", since polkit binds its action to the exact path string.
std::string SwitchHelperPathFor(const std::string& executablePath);

// Whether the running user may create, rename and remove files in a native directory (effective ids).
bool MayWriteDirectory(const std::string& nativeDirectory);

// What a finished run of pkexec and the helper means: 0 made the change. pkexec's 126 (the dialog was
// dismissed), its 127 with "Not authorized" (denied, or the password was wrong) and the helper's own refusal
// to run without rights are a refused consent. pkexec's 127 for anything else means that it could not ask at
// all (no authentication agent, no session, no polkit): that throws ConsentNotAsked with pkexec's last line
// and `instead`, what the user can do. Any other code throws RuntimeError on `hostsPath` with what the
// helper printed.
PrivilegedChange OutcomeOfHelperRun(int exitCode, const std::string& errors, const std::string& hostsPath,
                                    const std::string& instead = {});

// What to do when pkexec cannot ask: where an agent can ask, or the same change as root (`rootCommand`).
std::string WhatToDoWithoutAnAgent(const std::string& rootCommand);

// Runs a program with exactly these arguments to its end, its standard error captured, and returns its exit
// code (-1 when a signal ended it). Throws RuntimeError when it cannot be started.
int RunToEnd(const std::vector<std::string>& argv, std::string& errors);

}  // namespace velmora::linux_platform
