#include "shell/windows/current_directory_win.h"

#include <windows.h>

#include "shell/runtime_error.h"
#include "shell/windows/error_mapping_win.h"

namespace velmora::windows_platform {

namespace {

char UpperDrive(char letter)
{
    return letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
}

bool IsDriveLetter(char letter)
{
    const char upper = UpperDrive(letter);
    return upper >= 'A' && upper <= 'Z';
}

bool StartsWithDrive(const std::string& path)
{
    return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
}

std::string FullPathOf(const std::string& path)
{
    const DWORD needed = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        throw LastError(path);
    std::string full(needed, '\0');
    const DWORD length = ::GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        throw LastError(path);
    full.resize(length);
    return full;
}

std::string ProcessDirectory()
{
    const DWORD needed = ::GetCurrentDirectoryA(0, nullptr);
    std::string directory(needed, '\0');
    const DWORD length = needed ? ::GetCurrentDirectoryA(needed, directory.data()) : 0;
    if (length == 0 || length >= needed)
        throw LastError("");
    directory.resize(length);
    return directory;
}

void SetProcessDirectory(const std::string& directory)
{
    if (!::SetCurrentDirectoryA(directory.c_str()))
        throw LastError(directory);
}

}  // namespace

std::string DriveDirectories::current() const
{
    return ProcessDirectory();
}

std::string DriveDirectories::directoryOfDrive(char drive) const
{
    const std::string current = ProcessDirectory();
    if (StartsWithDrive(current) && UpperDrive(current[0]) == drive)
        return current;
    if (const auto found = remembered_.find(drive); found != remembered_.end())
        return found->second;
    const std::string name = std::string("=") + drive + ":";
    char inherited[MAX_PATH + 1] = {};
    const DWORD length = ::GetEnvironmentVariableA(name.c_str(), inherited, sizeof inherited);
    if (length > 0 && length < sizeof inherited && StartsWithDrive(inherited) && UpperDrive(inherited[0]) == drive)
        return inherited;
    return std::string(1, drive) + ":\\";
}

void DriveDirectories::remember(char drive, const std::string& directory)
{
    remembered_[drive] = directory;
    ::SetEnvironmentVariableA((std::string("=") + drive + ":").c_str(), directory.c_str());
}

void DriveDirectories::changeDirectory(const std::string& path)
{
    if (path.empty())
        throw ErrorFromWin32(ERROR_PATH_NOT_FOUND, path);
    const std::string current = ProcessDirectory();
    if (!StartsWithDrive(path) && !StartsWithDrive(current)) {
        SetProcessDirectory(path);  // a network current directory has no drive to remember
        return;
    }
    const char drive = UpperDrive(StartsWithDrive(path) ? path[0] : current[0]);
    const std::string rest = StartsWithDrive(path) ? path.substr(2) : path;
    std::string target;
    if (rest.empty())
        target = directoryOfDrive(drive);
    else if (rest.front() == '\\' || rest.front() == '/')
        target = std::string(1, drive) + ":" + rest;
    else
        target = directoryOfDrive(drive) + "\\" + rest;
    const std::string full = FullPathOf(target);
    const DWORD attributes = ::GetFileAttributesA(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw ErrorFromWin32(ERROR_PATH_NOT_FOUND, path);
    if (UpperDrive(current[0]) == drive)
        SetProcessDirectory(full);
    remember(drive, full);
}

void DriveDirectories::changeDrive(const std::string& drive)
{
    if (drive.empty())
        throw RuntimeError(RuntimeErrorNumber::InvalidProcedureCall, "", "no drive named");
    const char letter = UpperDrive(drive.front());
    const std::string root = std::string(1, letter) + ":\\";
    if (!IsDriveLetter(letter) || ::GetDriveTypeA(root.c_str()) == DRIVE_NO_ROOT_DIR)
        throw RuntimeError(RuntimeErrorNumber::DeviceUnavailable, drive, "no such drive");
    const std::string current = ProcessDirectory();
    if (StartsWithDrive(current))
        remember(UpperDrive(current[0]), current);
    const std::string target = directoryOfDrive(letter);
    // A remembered directory that was removed meanwhile leaves the drive's root.
    if (!::SetCurrentDirectoryA(target.c_str()))
        SetProcessDirectory(root);
    remember(letter, ProcessDirectory());
}

}  // namespace velmora::windows_platform
