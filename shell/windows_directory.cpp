#include "shell/windows_directory.h"

namespace velmora {

std::string GetWindowsDir()
{
    return "C:\\Windows";
}

}  // namespace velmora
