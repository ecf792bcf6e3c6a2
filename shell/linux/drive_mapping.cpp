#include "shell/linux/drive_mapping.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/linux/environment.h"
#include "shell/linux/errno_mapping.h"
#include "shell/linux/file_names.h"

namespace velmora::linux_platform {

namespace {

const char* const kHostsDirComponents[] = {"Windows", "System32", "drivers", "etc"};

bool IsDirectory(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool Exists(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

std::string Join(const std::string& directory, const std::string& name)
{
    if (!directory.empty() && directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

// Splits at both separators, drops empty and "." components and lets ".." climb no higher than the root.
std::vector<std::string> Components(const std::string& rest)
{
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= rest.size()) {
        const std::size_t end = rest.find_first_of("\\/", start);
        const std::string component = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (component == "..") {
            if (!components.empty())
                components.pop_back();
        } else if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return components;
}

// The stored name in a directory that equals `name` without regard to case, or `name` itself when none does.
std::string StoredName(const std::string& directory, const std::string& name)
{
    if (Exists(Join(directory, name)))
        return name;
    std::unique_ptr<DIR, int (*)(DIR*)> handle(::opendir(directory.c_str()), ::closedir);
    if (!handle)
        return name;
    std::optional<std::string> best;
    while (const dirent* entry = ::readdir(handle.get())) {
        const std::string candidate = entry->d_name;
        if (candidate == "." || candidate == ".." || !NamesEqualIgnoringCase(candidate, name))
            continue;
        if (!best || NameLessIgnoringCase(candidate, *best))
            best = candidate;
    }
    return best.value_or(name);
}

void CreateDirectories(const std::string& path)
{
    std::size_t at = 1;
    for (;;) {
        at = path.find('/', at);
        const std::string prefix = path.substr(0, at);
        if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST)
            throw ErrorFromErrno(errno, prefix);
        if (at == std::string::npos)
            return;
        ++at;
    }
}

// The ways a root may be written: as configured, and with its symlinks resolved (the form getcwd reports).
std::vector<std::string> SpellingsOf(const std::string& root)
{
    std::vector<std::string> spellings;
    std::string given = root;
    while (given.size() > 1 && given.back() == '/')
        given.pop_back();
    spellings.push_back(given);
    if (char* resolved = ::realpath(given.c_str(), nullptr)) {
        if (given != resolved)
            spellings.emplace_back(resolved);
        std::free(resolved);
    }
    return spellings;
}

// What follows `root` in `native` ("" for the root itself), or nothing when `native` lies outside it.
std::optional<std::string> PartBelow(const std::string& native, const std::string& root)
{
    if (root.empty())
        return std::nullopt;
    if (native == root)
        return std::string();
    if (root == "/")
        return native.substr(1);
    if (native.size() > root.size() && native.compare(0, root.size(), root) == 0 && native[root.size()] == '/')
        return native.substr(root.size() + 1);
    return std::nullopt;
}

std::string WithBackslashes(std::string text)
{
    for (char& c : text)
        if (c == '/')
            c = '\\';
    return text;
}

}  // namespace

std::string NativeWorkingDirectory()
{
    std::unique_ptr<char, void (*)(void*)> directory(::getcwd(nullptr, 0), std::free);
    if (!directory) {
        const int error = errno;
        throw RuntimeError(error == ENOENT ? RuntimeErrorNumber::PathNotFound : ErrorNumberFromErrno(error, true), "",
                           "the current directory cannot be read");
    }
    return directory.get();
}

DriveMapping DriveMapping::fromEnvironment()
{
    if (const char* sandbox = std::getenv("VELMORA_DRIVE_C")) {
        if (sandbox[0] != '/')
            throw DriveSettingRefused(std::string("VELMORA_DRIVE_C is set but ") +
                                      (sandbox[0] ? "is not an absolute path: " + std::string(sandbox) : "empty") +
                                      "; unset it to use the system's hosts directory, or name the sandbox drive's folder");
        return DriveMapping(Roots{sandbox, std::nullopt});
    }
    std::string dataHome = EnvironmentValue("XDG_DATA_HOME");
    if (dataHome.empty() || dataHome.front() != '/')
        dataHome = EnvironmentValue("HOME") + "/.local/share";
    return DriveMapping(Roots{dataHome + "/velmora/drive_c", std::string("/etc")});
}

std::string DriveMapping::resolveComponents(std::string native, const std::vector<std::string>& components) const
{
    bool existing = IsDirectory(native);
    for (const std::string& component : components) {
        const std::string name = existing ? StoredName(native, component) : component;
        native = Join(native, name);
        existing = existing && IsDirectory(native);
    }
    return native;
}

std::string DriveMapping::toNative(const std::string& path, bool createDriveRoot) const
{
    if (!path.empty() && path.front() == '/') {
        // A program path separates with backslashes wherever the logic joined a name to a folder.
        std::string native = path;
        std::replace(native.begin(), native.end(), '\\', '/');
        return native;
    }

    std::string rest = path;
    if (path.size() >= 2 && path[1] == ':') {
        const char drive = path[0];
        if (drive != 'C' && drive != 'c')
            throw RuntimeError(RuntimeErrorNumber::PathNotFound, path, "no such drive");
        rest = path.substr(2);
    }
    if (rest.empty() || (rest.front() != '\\' && rest.front() != '/'))
        return fromCurrentDirectory(rest);
    std::vector<std::string> components = Components(rest);

    // The hosts directory (and what lies in it) is the system's /etc unless C: is a sandbox.
    constexpr std::size_t kHostsDepth = std::size(kHostsDirComponents);
    if (roots_.etc && components.size() >= kHostsDepth) {
        bool inHostsDir = true;
        for (std::size_t i = 0; i < kHostsDepth; ++i)
            inHostsDir = inHostsDir && NamesEqualIgnoringCase(components[i], kHostsDirComponents[i]);
        if (inHostsDir)
            return resolveComponents(*roots_.etc, {components.begin() + kHostsDepth, components.end()});
    }

    if (createDriveRoot && roots_.etc && !IsDirectory(roots_.driveC))
        CreateDirectories(roots_.driveC);
    return resolveComponents(roots_.driveC, components);
}

std::string DriveMapping::fromCurrentDirectory(const std::string& rest) const
{
    const std::string native = NativeWorkingDirectory();
    const std::string here = toProgramPath(native);
    // On drive C: the relative path goes the way of every C:\ path (into the hosts directory too); ".."
    // stops at the drive's root there.
    if (here.front() != '/')
        return toNative(here + "\\" + rest);
    return resolveComponents("/", Components(native + "/" + rest));
}

std::string DriveMapping::toProgramPath(const std::string& nativePath) const
{
    std::string native = nativePath;
    while (native.size() > 1 && native.back() == '/')
        native.pop_back();

    if (roots_.etc) {
        std::string hostsDir = "C:";
        for (const char* component : kHostsDirComponents)
            hostsDir += std::string("\\") + component;
        for (const std::string& root : SpellingsOf(*roots_.etc))
            if (const auto below = PartBelow(native, root))
                return below->empty() ? hostsDir : hostsDir + "\\" + WithBackslashes(*below);
    }
    for (const std::string& root : SpellingsOf(roots_.driveC))
        if (const auto below = PartBelow(native, root))
            return "C:\\" + WithBackslashes(*below);
    return native;
}

}  // namespace velmora::linux_platform
