#include "shell/linux/posix_io.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/uio.h>
#include <unistd.h>

#include "shell/linux/errno_mapping.h"
#include "shell/paths.h"
#include "shell/runtime_error.h"

namespace velmora::linux_platform {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

FileDescriptor::~FileDescriptor()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int FileDescriptor::close()
{
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
}

void ThrowErrno(const std::string& path, int error)
{
    throw ErrorFromErrno(error, path);
}

void ThrowErrno(const std::string& path)
{
    ThrowErrno(path, errno);
}

ssize_t ReadSome(int fd, char* into, std::size_t size)
{
    ssize_t got = 0;
    do
        got = ::read(fd, into, size);
    while (got < 0 && errno == EINTR);
    return got;
}

ssize_t ReadSomeAt(int fd, char* into, std::size_t size, off_t offset)
{
    ssize_t got = 0;
    do
        got = ::pread(fd, into, size, offset);
    while (got < 0 && errno == EINTR);
    return got;
}

std::string ParentOf(const std::string& path)
{
    std::string folder = DirectoryPartOf(path, kPosixSeparator);
    if (folder.empty())
        return ".";
    if (folder.size() > 1)
        folder.pop_back();
    return folder;
}

namespace {

[[noreturn]] void ThrowNotAnOrdinaryFile(const std::string& path)
{
    throw RuntimeError(RuntimeErrorNumber::PathFileAccessError, path, "not an ordinary file");
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

FileDescriptor OpenOrdinaryFileIfPresent(const std::string& path, int accessFlags, struct stat& status)
{
    // An ordinary file renamed over the name between the look and the open (what every switch does) is looked
    // at again; only a name that keeps changing under the open is refused.
    constexpr int kLooks = 8;
    for (int look = 1;; ++look) {
        // O_PATH opens neither a device nor a FIFO and, with O_NOFOLLOW, gives the symlink itself.
        FileDescriptor probe(::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (!probe.valid()) {
            if (errno == ENOENT)
                return {};
            ThrowErrno(path);
        }
        struct stat probed {};
        if (::fstat(probe.get(), &probed) != 0)
            ThrowErrno(path);
        if (!S_ISREG(probed.st_mode))
            ThrowNotAnOrdinaryFile(path);

        FileDescriptor fd(::open(path.c_str(), accessFlags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!fd.valid()) {
            if (errno == ELOOP)
                ThrowNotAnOrdinaryFile(path);  // replaced by a symlink since it was looked at
            if (errno == ENOENT && look < kLooks)
                continue;  // removed, or between a rename's two halves on some file systems
            ThrowErrno(path);
        }
        if (::fstat(fd.get(), &status) != 0)
            ThrowErrno(path);
        if (!S_ISREG(status.st_mode))
            ThrowNotAnOrdinaryFile(path);
        if (!SameFile(status, probed)) {
            if (look < kLooks)
                continue;
            ThrowNotAnOrdinaryFile(path);
        }
        const int flags = ::fcntl(fd.get(), F_GETFL);
        if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
            ThrowErrno(path);
        return fd;
    }
}

FileDescriptor OpenOrdinaryFile(const std::string& path, int accessFlags, struct stat& status)
{
    FileDescriptor fd = OpenOrdinaryFileIfPresent(path, accessFlags, status);
    if (!fd.valid())
        ThrowErrno(path, ENOENT);
    return fd;
}

bool TryLock(int fd)
{
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

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

void SyncFile(int fd, const std::string& pathForErrors)
{
    if (::fsync(fd) != 0 && errno != EINVAL)
        ThrowErrno(pathForErrors);
}

void SyncDirectory(const std::string& directory)
{
    FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get());
}

ContentSummary ReadThrough(int fd, const std::string& pathForErrors, int copyTo, const std::string& copyPathForErrors)
{
    std::vector<char> buffer(1 << 20);
    ContentChecksum checksum;
    off_t offset = 0;
    for (;;) {
        const ssize_t got = ReadSomeAt(fd, buffer.data(), buffer.size(), offset);
        if (got < 0)
            ThrowErrno(pathForErrors);
        if (got == 0)
            break;
        const std::string_view chunk(buffer.data(), static_cast<std::size_t>(got));
        checksum.add(chunk);
        for (std::size_t done = 0; copyTo >= 0 && done < chunk.size();) {
            const ssize_t put = ::pwrite(copyTo, chunk.data() + done, chunk.size() - done,
                                         offset + static_cast<off_t>(done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                ThrowErrno(copyPathForErrors);
            }
            done += static_cast<std::size_t>(put);
        }
        offset += got;
    }
    if (copyTo >= 0 && ::ftruncate(copyTo, offset) != 0)
        ThrowErrno(copyPathForErrors);
    return ContentSummary{static_cast<std::uint64_t>(offset), checksum.value()};
}

}  // namespace velmora::linux_platform
