// LinuxPlatform: files and the current directory, through the drive mapping.

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/linux/directory_search.h"
#include "shell/linux/errno_mapping.h"
#include "shell/linux/in_place_rewrite.h"
#include "shell/linux/linux_platform.h"
#include "shell/linux/posix_files.h"
#include "shell/paths.h"
#include "shell/runtime_error.h"

namespace velmora::linux_platform {

std::string LinuxPlatform::nativePathOf(const std::string& path, bool forWriting) const
{
    if (path.find('\0') != std::string::npos)
        throw RuntimeError(RuntimeErrorNumber::BadFileNameOrNumber, path, "the name holds a NUL character");
    return drives_.toNative(path, forWriting);
}

std::vector<std::string> LinuxPlatform::findFiles(const std::string& pattern)
{
    try {
        const std::string name = LastPartOf(pattern);
        if (name.empty())
            return {};
        return SearchDirectory(nativePathOf(DirectoryPartOf(pattern)), name);
    } catch (const RuntimeError&) {
        return {};  // a path the file system rejects finds nothing
    }
}

std::optional<std::string> LinuxPlatform::storedEntryName(const std::string& path)
{
    // The mapping already resolves an existing last component without regard to case.
    const std::string native = nativePathOf(path);
    struct stat status {};
    if (::lstat(native.c_str(), &status) != 0)
        return std::nullopt;
    return LastPartOf(native);
}

std::string LinuxPlatform::readTextFile(const std::string& path)
{
    return ReadWholeFile(nativePathOf(path));
}

void LinuxPlatform::replaceTextFile(const std::string& path, const TextPieces& content)
{
    ReplaceFileAtomically(nativePathOf(path, true), content);
}

void LinuxPlatform::appendTextFile(const std::string& path, const std::string& content)
{
    AppendToFile(nativePathOf(path, true), content);
}

bool LinuxPlatform::createTextFileIfAbsent(const std::string& path, const std::string& content)
{
    return CreateFileIfAbsent(nativePathOf(path, true), content);
}

void LinuxPlatform::deleteFile(const std::string& path)
{
    DeleteFile(nativePathOf(path));
}

void LinuxPlatform::finishInterruptedReplacements(const std::string& folder)
{
    // Only the in-place rewrite of a file that cannot be renamed over leaves anything to finish.
    RecoverInterruptedRewrites(nativePathOf(folder));
}

std::string LinuxPlatform::currentDirectory()
{
    return drives_.toProgramPath(NativeWorkingDirectory());
}

void LinuxPlatform::changeDrive(const std::string& drive)
{
    // C: is the only drive and therefore always the current one; its current directory is the process's.
    if (drive.empty())
        throw RuntimeError(RuntimeErrorNumber::InvalidProcedureCall, "", "no drive named");
    if (drive.front() != 'C' && drive.front() != 'c')
        throw RuntimeError(RuntimeErrorNumber::DeviceUnavailable, drive, "no such drive");
}

void LinuxPlatform::changeDirectory(const std::string& path)
{
    const std::string native = nativePathOf(path);
    if (::chdir(native.c_str()) != 0) {
        const int error = errno;
        const RuntimeErrorNumber number = error == ENOENT || error == ENOTDIR ? RuntimeErrorNumber::PathNotFound
                                                                             : ErrorNumberFromErrno(error, true);
        throw RuntimeError(number, native, std::strerror(error));
    }
}

}  // namespace velmora::linux_platform
