#pragma once

#include <cstdlib>
#include <string>

namespace velmora::linux_platform {

// An environment variable's value; empty text when it is unset.
inline std::string EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

}  // namespace velmora::linux_platform
