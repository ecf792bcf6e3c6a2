#pragma once

#include <string>

namespace velmora {

// The Windows directory the hosts directory is built from. It is a fixed text: the system is never asked,
// so the result is the same on every machine (the platform maps the drive, not this function).
std::string GetWindowsDir();

}  // namespace velmora
