#pragma once

#include <map>
#include <string>

namespace velmora::windows_platform {

// The current drive and one current directory per drive, with the rules Windows programs know: changing
// the directory of another drive does not change the current drive, and changing the drive goes back to
// the directory last set on it. The process has only one current directory (Wine keeps none per drive),
// so the others are remembered here, and also in the "=X:" environment entries that child processes read.
// It changes nothing but the process's current directory.
class DriveDirectories {
public:
    // The current directory of the current drive, as a full path.
    std::string current() const;
    void changeDrive(const std::string& drive);
    void changeDirectory(const std::string& path);

private:
    std::string directoryOfDrive(char drive) const;
    void remember(char drive, const std::string& directory);

    std::map<char, std::string> remembered_;
};

}  // namespace velmora::windows_platform
