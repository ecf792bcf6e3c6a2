// LinuxPlatform: files and the current directory, through the drive mapping.

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/linux/directory_search.h"
#include "shell/linux/errno_mapping.h"
#include "shell/linux/file_names.h"
#include "shell/linux/in_place_rewrite.h"
#include "shell/linux/linux_platform.h"
#include "shell/linux/name_caches.h"
#include "shell/linux/own_libraries.h"
#include "shell/linux/posix_files.h"
#include "shell/linux/posix_io.h"
#include "shell/linux/privileged_helper.h"
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

bool LinuxPlatform::canKeepFileAt(const std::string& path)
{
    // The replacement's own siblings have short names of their own; the file's name and path must fit.
    try {
        const std::string native = nativePathOf(path);
        return LastPartOf(native).size() <= NAME_MAX && native.size() < PATH_MAX;
    } catch (const RuntimeError&) {
        return false;
    }
}

std::string LinuxPlatform::caseBlindKey(const std::string& name)
{
    return CaseBlindKey(name);
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

bool LinuxPlatform::needsRightsFor(const std::string& nativePath, bool fileItselfWritable) const
{
    const auto& etc = drives_.roots().etc;
    if (!etc || ::geteuid() == 0)
        return false;
    const std::string directory = ParentOf(nativePath);
    if (directory != *etc)
        return false;
    if (fileItselfWritable && ::access(nativePath.c_str(), W_OK) == 0)
        return false;
    return !MayWriteDirectory(directory);
}

void LinuxPlatform::replaceTextFile(const std::string& path, const TextPieces& content)
{
    replaceTextFileAfter(path, content, {});
}

void LinuxPlatform::replaceTextFileAfter(const std::string& path, const TextPieces& content,
                                         const std::function<void()>& beforeReplacing)
{
    // A user who may write the file itself but not its folder switches by the in-place rewrite.
    const std::string native = nativePathOf(path, true);
    if (needsRightsFor(native, true))
        throw NeedsAdministratorRights(native);
    ReplaceFileAtomically(native, content, false, beforeReplacing);
    // Whoever switched the system's own hosts file (root, a user allowed to write it, the privileged helper),
    // the caches that keep their own copy of it are told; a sandbox drive has none.
    const auto& etc = drives_.roots().etc;
    if (etc && native == *etc + "/hosts")
        FlushHostsNameCaches();
}

void LinuxPlatform::appendTextFile(const std::string& path, const std::string& content)
{
    const std::string native = nativePathOf(path, true);
    if (needsRightsFor(native, true))
        throw NeedsAdministratorRights(native);
    AppendToFile(native, content);
}

bool LinuxPlatform::createTextFileIfAbsent(const std::string& path, const std::string& content)
{
    const std::string native = nativePathOf(path, true);
    if (needsRightsFor(native))
        throw NeedsAdministratorRights(native);
    return CreateFileIfAbsent(native, content);
}

void LinuxPlatform::deleteFile(const std::string& path)
{
    const std::string native = nativePathOf(path);
    if (needsRightsFor(native))
        throw NeedsAdministratorRights(native);
    RemoveOrdinaryFile(native);
}

PrivilegedChange LinuxPlatform::runPrivilegedHelper(const std::string& hostsDir, const std::string& targetName,
                                                    const std::vector<std::string>& command,
                                                    const std::string& rootCommand)
{
    // Only the system's own hosts directory is delegated, and only when the user may not write the file the
    // change writes; a sandbox drive and a user with the rights never start the helper.
    const std::string hostsPath = nativePathOf(hostsDir + targetName);
    if (!needsRightsFor(hostsPath, true))
        return PrivilegedChange::NotNeeded;
    const std::string helper = SwitchHelperPathFor(ExecutablePath());
    const std::string instead = WhatToDoWithoutAnAgent(rootCommand);
    try {
        for (const std::string& program : {std::string(kPkexecPath), helper})
            if (::access(program.c_str(), X_OK) != 0)
                throw ConsentNotAsked(program + " is missing: " + std::strerror(errno) + kCR + kCR + instead);
        std::vector<std::string> argv {kPkexecPath, helper};
        argv.insert(argv.end(), command.begin(), command.end());
        std::string errors;
        const int exitCode = RunToEnd(argv, errors);
        return OutcomeOfHelperRun(exitCode, errors, hostsPath, instead);
    } catch (const ConsentNotAsked& error) {
        // Where no desktop shows the box, its text goes to standard error anyway; where one does, the terminal
        // or log that started the program still learns why nobody was asked and what to do instead.
        if (desktop())
            writeToStandardError(kProgramTitle, error.what());
        throw;
    }
}

PrivilegedChange LinuxPlatform::switchWithPrivileges(const std::string& hostsDir, const std::string& variantName)
{
    return runPrivilegedHelper(hostsDir, "hosts", {kSwitchVerb, variantName}, "sudo velmora " + variantName);
}

PrivilegedChange LinuxPlatform::backupWithPrivileges(const std::string& hostsDir)
{
    // A start as root makes the backup before anything else.
    return runPrivilegedHelper(hostsDir, "hosts.Default", {kBackupVerb}, "sudo velmora");
}

std::optional<std::uint64_t> LinuxPlatform::fileSize(const std::string& path)
{
    struct stat status {};
    if (::lstat(nativePathOf(path).c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(status.st_size);
}

bool LinuxPlatform::fileHolds(const std::string& path, const TextPieces& content)
{
    return FileHolds(nativePathOf(path), content);
}

void LinuxPlatform::keepHiddenCopy(const std::string& path)
{
    KeepHiddenCopy(nativePathOf(path, true));
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
