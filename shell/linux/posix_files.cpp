#include "shell/linux/posix_files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "shell/linux/errno_mapping.h"
#include "shell/runtime_error.h"

namespace velmora::linux_platform {

namespace {

// Closes a descriptor when it goes out of scope, unless released.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports the failure, since a failed close can mean lost data on some file systems.
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

std::string ParentOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

[[noreturn]] void ThrowErrno(const std::string& path, int error = errno)
{
    throw ErrorFromErrno(error, path);
}

// Writes the pieces one after another with as few system calls as the kernel allows.
void WriteAll(int fd, const std::vector<std::string_view>& pieces, const std::string& pathForErrors)
{
    std::vector<iovec> vectors;
    vectors.reserve(pieces.size());
    for (std::string_view piece : pieces)
        if (!piece.empty())
            vectors.push_back(iovec{const_cast<char*>(piece.data()), piece.size()});
    std::size_t next = 0;
    while (next < vectors.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(vectors.size() - next, IOV_MAX));
        const ssize_t written = ::writev(fd, vectors.data() + next, count);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(pathForErrors);
        }
        // Skip what was written, which may end inside a piece.
        auto left = static_cast<std::size_t>(written);
        while (next < vectors.size() && left >= vectors[next].iov_len)
            left -= vectors[next++].iov_len;
        if (next < vectors.size()) {
            vectors[next].iov_base = static_cast<char*>(vectors[next].iov_base) + left;
            vectors[next].iov_len -= left;
        }
    }
}

void WriteAll(int fd, const std::string& content, const std::string& pathForErrors)
{
    WriteAll(fd, std::vector<std::string_view>{content}, pathForErrors);
}

mode_t CurrentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

bool IsReadOnly(const struct stat& status)
{
    return (status.st_mode & 0222) == 0;
}

// The status of an existing file that may be written, or nothing when there is no file of that name.
// Refuses symlinks, non-files and read-only files.
bool StatWritableFile(const std::string& path, struct stat& status)
{
    if (::lstat(path.c_str(), &status) != 0) {
        if (errno == ENOENT)
            return false;
        ThrowErrno(path);
    }
    if (S_ISLNK(status.st_mode) || !S_ISREG(status.st_mode))
        throw RuntimeError(RuntimeErrorNumber::PathFileAccessError, path, "not an ordinary file");
    if (IsReadOnly(status))
        throw RuntimeError(RuntimeErrorNumber::PermissionDenied, path, "the file is read-only");
    return true;
}

void SyncDirectory(const std::string& directory)
{
    FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());  // best effort: some file systems refuse to sync a directory
}

void RewriteInPlace(const std::string& path, const std::vector<std::string_view>& content)
{
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0)
        ThrowErrno(path);
    WriteAll(fd.get(), content, path);
    if (::fsync(fd.get()) != 0 && errno != EINVAL)
        ThrowErrno(path);
    if (fd.close() != 0)
        ThrowErrno(path);
}

}  // namespace

std::string ReadWholeFile(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0)
        ThrowErrno(path);
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0)
        ThrowErrno(path);
    if (!S_ISREG(status.st_mode))
        throw RuntimeError(RuntimeErrorNumber::PathFileAccessError, path, "not an ordinary file");

    // One byte more than the file's size, so that the end of the file is seen without growing the buffer
    // (growing would copy the whole content once more).
    std::string content;
    content.resize(static_cast<std::size_t>(status.st_size) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == content.size())
            content.resize(content.size() * 2);  // the file grew while it was read
        const ssize_t got = ::read(fd.get(), content.data() + filled, content.size() - filled);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(path);
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    content.resize(filled);
    return content;
}

void ReplaceFileAtomically(const std::string& path, const std::vector<std::string_view>& content,
                           bool executable)
{
    struct stat existing {};
    const bool exists = StatWritableFile(path, existing);

    const std::string directory = ParentOf(path);
    std::string temporary = directory + "/.velmora-" + NameOf(path).substr(0, 32) + "-XXXXXX";
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0)
        ThrowErrno(path);

    try {
        WriteAll(fd.get(), content, path);
        mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());
        if (executable)
            mode |= (mode & 0444) >> 2;
        if (::fchmod(fd.get(), mode) != 0)
            ThrowErrno(path);
        if (exists && ::fchown(fd.get(), existing.st_uid, existing.st_gid) != 0 && errno != EPERM)
            ThrowErrno(path);
        if (::fsync(fd.get()) != 0)
            ThrowErrno(path);
        if (fd.close() != 0)
            ThrowErrno(path);
        if (::rename(temporary.c_str(), path.c_str()) != 0) {
            // A bind-mounted file (common for /etc/hosts in containers) cannot be renamed over; rewriting
            // it in place is the only way left to change it.
            if (errno != EBUSY)
                ThrowErrno(path);
            ::unlink(temporary.c_str());
            RewriteInPlace(path, content);
            return;
        }
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    SyncDirectory(directory);
}

void AppendToFile(const std::string& path, const std::string& content)
{
    struct stat existing {};
    StatWritableFile(path, existing);
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        ThrowErrno(path);
    WriteAll(fd.get(), content, path);
    if (fd.close() != 0)
        ThrowErrno(path);
}

bool CreateFileIfAbsent(const std::string& path, const std::string& content)
{
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        if (errno == EEXIST)
            return false;
        ThrowErrno(path);
    }
    WriteAll(fd.get(), content, path);
    if (fd.close() != 0)
        ThrowErrno(path);
    return true;
}

void DeleteFile(const std::string& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        ThrowErrno(path);
    if (S_ISDIR(status.st_mode) || IsReadOnly(status))
        throw RuntimeError(RuntimeErrorNumber::PathFileAccessError, path,
                           S_ISDIR(status.st_mode) ? "a directory" : "the file is read-only");
    if (::unlink(path.c_str()) != 0)
        ThrowErrno(path);
}

}  // namespace velmora::linux_platform
