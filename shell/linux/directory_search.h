#pragma once

#include <string>
#include <vector>

namespace velmora::linux_platform {

// Lists the ordinary files of one native directory whose names match a wildcard pattern, the way the
// program's home platform lists them: case-blind, in case-insensitive name order, names as stored.
// Directories, symlinks of any kind, sockets, devices, fifos and hidden files (a leading dot) are never
// listed. A directory that cannot be read gives no names.
std::vector<std::string> SearchDirectory(const std::string& nativeDirectory, const std::string& pattern);

}  // namespace velmora::linux_platform
