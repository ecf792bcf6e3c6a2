#pragma once

#include <string>

namespace velmora::linux_platform {

// The running executable's native path; empty text when it cannot be read.
std::string ExecutablePath();

// Loads one of the program's own libraries from ../lib/<triplet>/velmora beside the executable (in the build
// tree as installed) and returns its entry point `symbol`; null with `error` set when it cannot. A loaded
// library is never unloaded: the objects it makes live until the program ends.
void* OpenOwnLibrary(const char* fileName, const char* symbol, std::string& error);

}  // namespace velmora::linux_platform
