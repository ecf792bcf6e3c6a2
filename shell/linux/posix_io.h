#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

#include "shell/rewrite_journal.h"

namespace velmora::linux_platform {

// Owns one descriptor and closes it at the end of its scope; it does no I/O of its own.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and gives close's result, since a failed close can mean lost data on some file systems.
    int close();

private:
    int fd_ = -1;
};

// One read(2), or one pread(2) at an offset, retried while a signal interrupts it: the bytes read (0 at the end
// of the file), or -1 with errno set. The one place a read retries after EINTR.
ssize_t ReadSome(int fd, char* into, std::size_t size);
ssize_t ReadSomeAt(int fd, char* into, std::size_t size, off_t offset);

[[noreturn]] void ThrowErrno(const std::string& path, int error);
[[noreturn]] void ThrowErrno(const std::string& path);

// The folder a native path lies in, without its closing slash ("/" for the root, "." for a bare name); the
// path is taken apart by DirectoryPartOf (shell/paths), its name is LastPartOf(path, kPosixSeparator).
std::string ParentOf(const std::string& path);

// Opens an existing ordinary file for `accessFlags` (O_RDONLY, O_RDWR, ...) so that the open itself can
// neither block nor act on anything else: the name is first looked at without opening what it stands for
// (a FIFO, a device, a symlink is refused before it is opened), then opened without following a symlink and
// without waiting, and checked to be the same file. The descriptor is left in blocking mode. `status` gets
// the file's status. Throws RuntimeError: "not an ordinary file" (Path/File access error) for anything else.
FileDescriptor OpenOrdinaryFile(const std::string& path, int accessFlags, struct stat& status);
// The same, but a name that stands for nothing gives an invalid descriptor instead of an error.
FileDescriptor OpenOrdinaryFileIfPresent(const std::string& path, int accessFlags, struct stat& status);

// Takes an exclusive flock without waiting. False only when another holder has it; where the file system
// has no locks, the caller goes on unprotected rather than not at all.
bool TryLock(int fd);

// Writes the pieces one after another from the descriptor's position, retrying short writes and EINTR.
void WriteAll(int fd, const std::vector<std::string_view>& pieces, const std::string& pathForErrors);

// fsync that accepts a file system which cannot sync this kind of file (EINVAL); other failures throw.
void SyncFile(int fd, const std::string& pathForErrors);
// Best effort: some file systems refuse to sync a directory.
void SyncDirectory(const std::string& directory);

// How a file's content is recognised after a crash (shared with the other platforms' in-place rewrite).
using velmora::ContentChecksum;
using velmora::ContentSummary;
using velmora::SummaryOf;

// Reads the whole file from offset 0, optionally copying it to `copyTo` (from its offset 0, which is then
// cut to the copied size), and gives its size and checksum. Neither descriptor's position is used.
ContentSummary ReadThrough(int fd, const std::string& pathForErrors, int copyTo = -1,
                           const std::string& copyPathForErrors = {});

}  // namespace velmora::linux_platform
