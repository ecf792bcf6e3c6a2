#pragma once

#include <string>
#include <vector>

#include "shell/platform.h"

namespace velmora {

// The privileged helper's whole work over a platform: takes its command, `switch NAME` or `backup`, checks
// it with the rules of the command-line switch, and makes that one change in the hosts directory. Names
// only, never paths. It shows no box, reads no environment and decides nobody's rights: whoever starts it
// has them. What it has to say goes to `report`; the result is the program's exit code.
ExitCode RunSwitchHelper(Platform& platform, const std::vector<std::string>& arguments, std::string& report);

}  // namespace velmora
