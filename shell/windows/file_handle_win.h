#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace velmora::windows_platform {

// Owns a Win32 handle and closes it when it goes out of scope; it does nothing else with it.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = INVALID_HANDLE_VALUE; }
    Handle& operator=(Handle&& other) noexcept
    {
        if (this != &other) {
            if (valid())
                ::CloseHandle(handle_);
            handle_ = other.handle_;
            other.handle_ = INVALID_HANDLE_VALUE;
        }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle()
    {
        if (valid())
            ::CloseHandle(handle_);
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    // Closes now and reports the failure: a failed close can mean data that never reached the disk.
    bool close()
    {
        const BOOL closed = ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Writes the pieces from the file's position in few large writes; a failure throws RuntimeError for `path`.
void WritePieces(HANDLE file, const std::vector<std::string_view>& pieces, const std::string& path);

// Flushes the file to disk; a failure throws RuntimeError for `path`.
void FlushToDisk(HANDLE file, const std::string& path);

}  // namespace velmora::windows_platform
