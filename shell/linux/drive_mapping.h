#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::linux_platform {

// Maps the program's Windows paths to native ones. Only the platform boundary uses it: the logic and the
// user keep seeing C:\... texts.
//
// Drive C: has a root directory. With VELMORA_DRIVE_C set, that directory is the whole drive (a sandbox
// for tests and demos). Otherwise the hosts directory C:\Windows\System32\drivers\etc is the system's /etc
// and the rest of C: lives under ${XDG_DATA_HOME:-~/.local/share}/velmora/drive_c, created when first
// written to. A path that begins with "/" is already native and is taken as it is, except that a backslash
// in it separates components as in every program path.
//
// Existing components are matched without regard to case, preferring an exact match; a component that
// does not exist keeps the case given. ".." never climbs above the drive's root.
//
// Paths name their place as on the home platform: "C:\x" from the root of C:, "\x" from the root of the
// current drive, and "x" or "C:x" from the current directory. C: is the only drive, so it is always the
// current one, and its current directory is the process's own working directory, which may also lie
// outside the drive (then only its native path names it, and relative paths are resolved natively).
class DriveMapping {
public:
    struct Roots {
        std::string driveC;                  // root of C: (the sandbox, or the data directory's drive_c)
        std::optional<std::string> etc;      // where the hosts directory really is; unset in a sandbox
    };

    explicit DriveMapping(Roots roots) : roots_(std::move(roots)) {}
    // The mapping the environment asks for. Only an unset VELMORA_DRIVE_C means the real system: set but
    // empty or relative (as a script with a missing variable makes it) it throws DriveSettingRefused.
    static DriveMapping fromEnvironment();

    // The native path of a program path. Throws RuntimeError (Path not found) for a drive that does not
    // exist. With createDriveRoot the root of C: is created first when it is missing and not a sandbox.
    std::string toNative(const std::string& path, bool createDriveRoot = false) const;

    // The program path of an absolute native path: "C:\..." when it lies on drive C: (the hosts directory
    // included), otherwise the native path itself, which toNative takes back as it is.
    std::string toProgramPath(const std::string& nativePath) const;

    const Roots& roots() const { return roots_; }

private:
    std::string resolveComponents(std::string nativeBase, const std::vector<std::string>& components) const;
    std::string fromCurrentDirectory(const std::string& rest) const;

    Roots roots_;
};

// VELMORA_DRIVE_C names no usable sandbox; what() says why, for the user.
class DriveSettingRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The process's working directory, natively. Throws RuntimeError when it cannot be read (it was removed).
std::string NativeWorkingDirectory();

}  // namespace velmora::linux_platform
