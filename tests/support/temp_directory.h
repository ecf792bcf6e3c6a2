#pragma once

#include <filesystem>
#include <string>

namespace velmora::testing {

// A fresh directory under the system's temporary directory, removed with everything in it at the end
// (read-only files and directories included; on Windows hidden and system files too). It makes nothing
// inside. One class for every platform's tests: temp_directory.cpp on POSIX, temp_directory_win.cpp on Windows.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& path() const { return path_; }
    // A path inside, joined with the platform's separator.
    std::string operator/(const std::string& name) const;

private:
    std::string path_;
};

// Removes a file or a directory with everything in it, whatever their attributes; what cannot be removed
// stays.
void RemoveTree(const std::string& path);

// Small file helpers for tests on real files.
void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);

}  // namespace velmora::testing

namespace velmora::testing {

// Sets (or, with nullptr, removes) an environment variable and restores its old value at the end.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(std::string name, const char* value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string name_;
    bool hadValue_;
    std::string oldValue_;
};

}  // namespace velmora::testing
