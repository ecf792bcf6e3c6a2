#include "shell/linux/directory_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/linux/file_names.h"

namespace velmora::linux_platform {

std::vector<std::string> SearchDirectory(const std::string& nativeDirectory, const std::string& pattern)
{
    std::vector<std::string> names;
    const int directoryFd = ::open(nativeDirectory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryFd < 0)
        return names;
    std::unique_ptr<DIR, int (*)(DIR*)> directory(::fdopendir(directoryFd), ::closedir);
    if (!directory) {
        ::close(directoryFd);
        return names;
    }

    while (const dirent* entry = ::readdir(directory.get())) {
        const std::string name = entry->d_name;
        if (name.empty() || name.front() == '.' || !WildcardMatch(pattern, name))
            continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat status {};
            regular = ::fstatat(directoryFd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                      S_ISREG(status.st_mode);
        }
        if (regular)
            names.push_back(name);
    }
    return names;
}

}  // namespace velmora::linux_platform
