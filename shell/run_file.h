#pragma once

#include <optional>
#include <string>

namespace velmora {

class Platform;

// RunFile: opens a URL with the program the system associates with web pages, and names the program that
// opens a given path. The association lookup answers only for a file that exists, so these routines make
// short-lived probe files for it. A probe is made only where no file of that name exists, and only the
// files a routine made itself are deleted again, within the same call: a user's file that happens to bear
// a probe's name is looked up as it is and never emptied or removed.
//
// Both routines go on after a failing step: a platform call that fails is passed over silently and the
// next step runs, so neither ever reports a failure to its caller. They know nothing of the window.

// Starts the program associated with web pages with the URL as its argument. Gives the task id of the
// started process, or nothing when no process could be started.
std::optional<double> OpenWithDefaultBrowser(Platform& platform, const std::string& url, int windowStyle);

// The full path of the program that opens `path`: an existing file, a path whose file does not exist yet,
// a bare name, or a pattern such as "*.txt". Empty text when none is found or the user cancels the question
// about an asterisk. Changes the current drive and directory meanwhile and restores them before it returns.
std::string ResolveAssociatedProgram(Platform& platform, std::string path);

// The program the system associates with an existing file, or empty text. Failures of the lookup reach
// the caller as RuntimeError.
std::string FindExecutableFor(Platform& platform, const std::string& fileName);

}  // namespace velmora
