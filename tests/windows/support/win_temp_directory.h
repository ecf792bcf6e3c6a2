#pragma once

#include <string>

namespace velmora::windows_testing {

// A fresh folder under the Windows temporary folder, removed with everything in it at the end (read-only,
// hidden and system files included). It makes nothing inside.
class WinTempDirectory {
public:
    WinTempDirectory();
    ~WinTempDirectory();
    WinTempDirectory(const WinTempDirectory&) = delete;
    WinTempDirectory& operator=(const WinTempDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Small Win32 file helpers for tests on real files.
void WriteBytes(const std::string& path, const std::string& content);
std::string ReadBytes(const std::string& path);
unsigned long AttributesOf(const std::string& path);  // INVALID_FILE_ATTRIBUTES when missing
void RemoveTree(const std::string& path);

}  // namespace velmora::windows_testing
