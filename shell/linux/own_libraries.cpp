#include "shell/linux/own_libraries.h"

#include <dlfcn.h>
#include <unistd.h>

#include "shell/linux/posix_io.h"
#include "velmora/install_layout_config.h"

namespace velmora::linux_platform {

std::string ExecutablePath()
{
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0)
        return {};
    path.resize(static_cast<std::size_t>(length));
    return path;
}

void* OpenOwnLibrary(const char* fileName, const char* symbol, std::string& error)
{
    const std::string library = ParentOf(ExecutablePath()) + "/../" + kConfiguredOwnLibraryDirectory + "/" + fileName;
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        error = std::string("cannot load ") + fileName + ": " + ::dlerror();
        return nullptr;
    }
    void* entry = ::dlsym(handle, symbol);
    if (!entry)
        error = std::string(fileName) + " is incomplete: " + ::dlerror();
    return entry;
}

}  // namespace velmora::linux_platform
