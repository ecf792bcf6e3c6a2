#pragma once

#include <windows.h>

#include <string>

namespace velmora::windows_testing {

// Another process that holds a file open for reading and writing with the given sharing ("r", "w", "d" or
// "-", as velmora_file_holder takes them) for as long as this object lives. It only holds the file.
class FileHolder {
public:
    FileHolder(const std::string& path, const std::string& sharing);
    ~FileHolder();
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;

    // Whether the holder opened the file.
    bool holds() const { return holds_; }

private:
    PROCESS_INFORMATION process_ {};
    HANDLE input_ = nullptr;
    bool holds_ = false;
};

}  // namespace velmora::windows_testing
