#include "shell/windows_system.h"

namespace velmora {

std::string GetWindowsDir()
{
    return "C:\\Windows";
}

}  // namespace velmora
