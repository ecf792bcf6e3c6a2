#pragma once

#include <string>

namespace velmora {

// Makes a path end in a separator so that a file name can follow it. A backslash anywhere wins over a
// forward slash; a closing double quote stays last. A path without any separator is left alone.
std::string EnsureTrailingSeparator(std::string path);

// A path taken apart at its last separator (a backslash or a slash): the folder part with its separator,
// and the last part. A path without a separator is all last part.
std::string DirectoryPartOf(const std::string& path);
std::string LastPartOf(const std::string& path);

// Trims blanks from a path and wraps it in double quotes when it holds a blank and no double quote,
// so that it stands as one argument of a command line. A path of blanks only comes back unchanged.
std::string QuotePathIfSpaced(const std::string& path);

}  // namespace velmora
