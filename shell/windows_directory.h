#pragma once

#include <string>

namespace velmora {

// The Windows directory the hosts directory is built from: a folder name only (the window system that drives
// the window is another thing). It is a fixed text: the system is never asked, so the result is the same on
// every machine (the platform maps the drive, not this function).
std::string GetWindowsDir();

}  // namespace velmora
