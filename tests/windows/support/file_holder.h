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
    bool holds() const { return answer_.rfind("held", 0) == 0; }
    // What the holder said ("held", "failed <error>"), or why it said nothing; for a failing test's message.
    const std::string& answer() const { return answer_; }

private:
    // Starts the holder and reads its first line; false when it could not start or ended without a word.
    bool start(const std::string& path, const std::string& sharing);
    void end();

    PROCESS_INFORMATION process_ {};
    HANDLE input_ = nullptr;
    std::string answer_;
};

}  // namespace velmora::windows_testing
