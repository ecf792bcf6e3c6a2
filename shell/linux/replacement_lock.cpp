#include "shell/linux/replacement_lock.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <thread>

#include "shell/paths.h"
#include "shell/runtime_error.h"

namespace velmora::linux_platform {

namespace {

enum class LockAttempt { Taken, HeldByAnother, NotSupported };

LockAttempt TryWriteLock(int fd)
{
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    whole.l_start = 0;
    whole.l_len = 0;  // the whole file, however long it grows
    for (;;) {
        if (::fcntl(fd, F_OFD_SETLK, &whole) == 0)
            return LockAttempt::Taken;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EACCES ? LockAttempt::HeldByAnother : LockAttempt::NotSupported;
    }
}

bool StillUnderItsName(const std::string& path, const struct stat& opened)
{
    struct stat named {};
    return ::lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

// A write lock needs a descriptor open for writing; a user who may write the file but not read it still
// takes one, and only the in-place rewrite, which must read the old content, then refuses.
FileDescriptor OpenForWriteLock(const std::string& path, struct stat& status)
{
    try {
        return OpenOrdinaryFileIfPresent(path, O_RDWR, status);
    } catch (const RuntimeError& error) {
        if (error.number() != RuntimeErrorNumber::PermissionDenied)
            throw;
        return OpenOrdinaryFileIfPresent(path, O_WRONLY, status);
    }
}

}  // namespace

FileDescriptor OpenLockedForReplacement(const std::string& path, struct stat& status)
{
    const auto deadline = std::chrono::steady_clock::now() + kReplacementLockWait;
    auto pause = std::chrono::milliseconds(2);
    for (;;) {
        FileDescriptor fd = OpenForWriteLock(path, status);
        if (!fd.valid())
            return fd;
        const LockAttempt attempt = TryWriteLock(fd.get());
        if (attempt == LockAttempt::NotSupported)
            return fd;
        // Renamed over while this switch waited, the locked file is no longer called so: the new one is tried.
        // A status taken under the lock is the one the replacement may rely on (size, mode, owner).
        if (attempt == LockAttempt::Taken && StillUnderItsName(path, status) && ::fstat(fd.get(), &status) == 0)
            return fd;
        if (attempt == LockAttempt::Taken)
            continue;
        if (std::chrono::steady_clock::now() >= deadline)
            throw RuntimeError(RuntimeErrorNumber::FileAlreadyOpen, path,
                               "another switch of " + LastPartOf(path, kPosixSeparator) +
                                   " is in progress; it did not end within " +
                                   std::to_string(kReplacementLockWait.count() / 1000) + " seconds");
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
}

}  // namespace velmora::linux_platform
