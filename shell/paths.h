#pragma once

#include <string>

namespace velmora {

// Makes a path end in a separator so that a file name can follow it. A backslash anywhere wins over a
// forward slash; a closing double quote stays last. A path without any separator is left alone.
std::string EnsureTrailingSeparator(std::string path);

// The separators a path is taken apart at: a backslash or a slash in the program's own paths; a slash only in
// a Linux native path, where a backslash is part of a name.
inline constexpr char kAnySeparator[] = "\\/";
inline constexpr char kPosixSeparator[] = "/";

// A path taken apart at its last separator: the folder part with its separator, and the last part. A path
// without a separator is all last part. The one place both platforms take a path apart.
std::string DirectoryPartOf(const std::string& path, const char* separators = kAnySeparator);
std::string LastPartOf(const std::string& path, const char* separators = kAnySeparator);

// Trims blanks from a path and wraps it in double quotes when it holds a blank and no double quote,
// so that it stands as one argument of a command line. A path of blanks only comes back unchanged.
std::string QuotePathIfSpaced(const std::string& path);

}  // namespace velmora
