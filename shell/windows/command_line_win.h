#pragma once

#include <string>
#include <string_view>

namespace velmora::windows_platform {

// The text after the program's own path on a command line as Windows hands it over (GetCommandLineA),
// unparsed: a quoted path ends at its closing quote, an unquoted one at the first blank or tab, and the
// one blank or tab that separates the path from the rest goes with it. Further blanks stay: a command line
// of blanks after the path is not an empty one.
std::string TextAfterProgramPath(std::string_view commandLine);

}  // namespace velmora::windows_platform
