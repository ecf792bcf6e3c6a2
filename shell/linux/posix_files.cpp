#include "shell/linux/posix_files.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "shell/linux/errno_mapping.h"
#include "shell/linux/in_place_rewrite.h"
#include "shell/linux/posix_io.h"
#include "shell/linux/replacement_lock.h"
#include "shell/paths.h"
#include "shell/runtime_error.h"
#include "shell/text_pieces.h"

namespace velmora::linux_platform {

namespace {

constexpr char kTemporaryPrefix[] = ".velmora-";
constexpr std::size_t kTemporaryNamePart = 32;
// What mkostemp puts in place of XXXXXX.
constexpr std::size_t kRandomPartLength = 6;
// The mode a created file asks for; the umask takes away more. Never writable for others.
constexpr mode_t kCreationMode = 0664;

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

[[noreturn]] void ThrowReadOnly(const std::string& path)
{
    throw RuntimeError(RuntimeErrorNumber::PermissionDenied, path, "the file is read-only");
}

bool IsAsciiLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// `.velmora-` + up to 32 characters of the replaced file's name + `-` + mkostemp's six letters and digits.
bool IsOwnTemporaryName(std::string_view name)
{
    const std::size_t prefix = sizeof kTemporaryPrefix - 1;
    if (!name.starts_with(kTemporaryPrefix) || name.size() < prefix + 1 + kRandomPartLength ||
        name.size() > prefix + kTemporaryNamePart + 1 + kRandomPartLength)
        return false;
    const std::string_view random = name.substr(name.size() - kRandomPartLength);
    return name[name.size() - kRandomPartLength - 1] == '-' &&
           std::all_of(random.begin(), random.end(), IsAsciiLetterOrDigit);
}

// A hidden temporary sibling, exclusively locked for as long as this switch holds it, so that the
// clean-up of another switch can tell it from one that a killed switch left behind.
struct LockedTemporary {
    FileDescriptor fd;
    std::string path;
};

// An invalid descriptor, with errno set, when no sibling can be made.
LockedTemporary CreateLockedTemporary(const std::string& directory, const std::string& name)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        LockedTemporary temporary;
        temporary.path = directory + "/" + kTemporaryPrefix + name.substr(0, kTemporaryNamePart) + "-XXXXXX";
        temporary.fd = FileDescriptor(::mkostemp(temporary.path.data(), O_CLOEXEC));
        if (!temporary.fd.valid())
            return temporary;
        struct stat status {};
        // A clean-up may have taken it for stale between its creation and the lock; then make another.
        if (TryLock(temporary.fd.get()) && ::fstat(temporary.fd.get(), &status) == 0 && status.st_nlink > 0)
            return temporary;
    }
    errno = EAGAIN;
    return {};
}

// The names in an open directory that `wanted` picks; none when it cannot be listed.
std::vector<std::string> NamesIn(int directoryFd, const std::function<bool(std::string_view)>& wanted)
{
    std::vector<std::string> names;
    const int listingFd = ::dup(directoryFd);
    if (listingFd < 0)
        return names;
    DIR* listing = ::fdopendir(listingFd);
    if (!listing) {
        ::close(listingFd);
        return names;
    }
    while (const dirent* entry = ::readdir(listing))
        if (wanted(entry->d_name))
            names.emplace_back(entry->d_name);
    ::closedir(listing);
    return names;
}

// Removes the temporaries that killed switches left in the directory: only names of the program's own
// pattern, only ordinary files, and only those no running switch holds locked. Never fails.
void RemoveStaleTemporaries(const std::string& directory)
{
    FileDescriptor directoryFd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!directoryFd.valid())
        return;
    for (const std::string& name : NamesIn(directoryFd.get(), IsOwnTemporaryName)) {
        struct stat before {};
        if (::fstatat(directoryFd.get(), name.c_str(), &before, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(before.st_mode))
            continue;
        FileDescriptor fd(::openat(directoryFd.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat opened {};
        if (!fd.valid() || ::fstat(fd.get(), &opened) != 0 || opened.st_ino != before.st_ino ||
            opened.st_dev != before.st_dev || !S_ISREG(opened.st_mode))
            continue;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
            continue;  // a running switch is writing it (or the lock cannot tell: then leave it, too)
        struct stat still {};
        if (::fstatat(directoryFd.get(), name.c_str(), &still, AT_SYMLINK_NOFOLLOW) == 0 &&
            still.st_ino == opened.st_ino && still.st_dev == opened.st_dev)
            ::unlinkat(directoryFd.get(), name.c_str(), 0);
    }
}

// The names of a file's extended attributes; empty where the file system has none, nothing on failure.
std::optional<std::vector<std::string>> ExtendedAttributeNames(int fd)
{
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP ? std::optional<std::vector<std::string>>(std::in_place)
                                    : std::optional<std::vector<std::string>>();
        std::string list(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::flistxattr(fd, list.data(), list.size());
        if (got < 0) {
            if (errno == ERANGE)
                continue;  // grew meanwhile
            return std::nullopt;
        }
        std::vector<std::string> names;
        for (std::size_t start = 0; start < static_cast<std::size_t>(got);) {
            const std::size_t end = list.find('\0', start);
            names.push_back(list.substr(start, end - start));
            start = end == std::string::npos ? list.size() : end + 1;
        }
        return names;
    }
}

// Gives `to` exactly the extended attributes of `from` (POSIX ACLs, security labels and user attributes
// among them), also taking away any it got on its own (an inherited default ACL). False when that fails.
bool CopyExtendedAttributes(int from, int to)
{
    const auto names = ExtendedAttributeNames(from);
    if (!names)
        return false;
    for (const std::string& name : *names) {
        std::string value;
        for (;;) {
            const ssize_t size = ::fgetxattr(from, name.c_str(), nullptr, 0);
            if (size < 0)
                return false;
            value.resize(static_cast<std::size_t>(size));
            const ssize_t got = ::fgetxattr(from, name.c_str(), value.data(), value.size());
            if (got >= 0) {
                value.resize(static_cast<std::size_t>(got));
                break;
            }
            if (errno != ERANGE)
                return false;
        }
        if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0)
            return false;
    }
    const auto ownNames = ExtendedAttributeNames(to);
    if (!ownNames)
        return false;
    for (const std::string& name : *ownNames)
        if (std::find(names->begin(), names->end(), name) == names->end() && ::fremovexattr(to, name.c_str()) != 0)
            return false;
    return true;
}

// Makes the new file the old one's twin in all but content: owner and group first (changing them clears
// setuid/setgid), then the extended attributes, then the mode, checked bit for bit. False when any of it
// cannot be done by this user (the file is then rewritten in place, which keeps all of it).
bool GiveIdentity(int newFd, int oldFd, const struct stat& old, mode_t mode)
{
    if (::fchown(newFd, old.st_uid, old.st_gid) != 0 || !CopyExtendedAttributes(oldFd, newFd) ||
        ::fchmod(newFd, mode) != 0)
        return false;
    struct stat now {};
    return ::fstat(newFd, &now) == 0 && (now.st_mode & 07777) == mode && now.st_uid == old.st_uid &&
           now.st_gid == old.st_gid;
}

// A write by a user without the privilege to keep them clears setuid/setgid bits; put them back if allowed.
void KeepMode(int fd, mode_t mode)
{
    struct stat now {};
    if (::fstat(fd, &now) == 0 && (now.st_mode & 07777) != mode)
        ::fchmod(fd, mode);
}

constexpr char kKeptCopyMark[] = "~kept-";
constexpr std::size_t kKeptCopiesKept = 5;
// YYYYMMDD-HHMMSS-UUUUUU
constexpr std::size_t kKeptCopyStampLength = 22;

std::string KeptCopyPrefix(const std::string& name)
{
    return "." + name + kKeptCopyMark;
}

bool IsKeptCopyStamp(std::string_view stamp)
{
    if (stamp.size() != kKeptCopyStampLength)
        return false;
    for (std::size_t at = 0; at < stamp.size(); ++at) {
        const bool dash = at == 8 || at == 15;
        if (dash ? stamp[at] != '-' : (stamp[at] < '0' || stamp[at] > '9'))
            return false;
    }
    return true;
}

// The name of a copy kept at a moment given in microseconds since the epoch; names sort as times do.
std::string KeptCopyName(const std::string& name, std::int64_t microseconds)
{
    const time_t seconds = static_cast<time_t>(microseconds / 1000000);
    struct tm utc {};
    ::gmtime_r(&seconds, &utc);
    char stamp[64];  // room for any year the calendar gives
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d-%06lld", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<long long>(microseconds % 1000000));
    return KeptCopyPrefix(name) + stamp;
}

// Removes all but the newest kept copies of the file `name`: only names of exactly that pattern, only
// ordinary files. Never fails.
void RemoveOlderKeptCopies(const std::string& directory, const std::string& name)
{
    FileDescriptor directoryFd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!directoryFd.valid())
        return;
    const std::string prefix = KeptCopyPrefix(name);
    std::vector<std::string> copies = NamesIn(directoryFd.get(), [&prefix](std::string_view entryName) {
        return entryName.starts_with(prefix) && IsKeptCopyStamp(entryName.substr(prefix.size()));
    });
    if (copies.size() <= kKeptCopiesKept)
        return;
    std::sort(copies.begin(), copies.end());
    copies.resize(copies.size() - kKeptCopiesKept);
    for (const std::string& copy : copies) {
        struct stat status {};
        if (::fstatat(directoryFd.get(), copy.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode))
            ::unlinkat(directoryFd.get(), copy.c_str(), 0);
    }
}

}  // namespace

bool FileHolds(const std::string& path, const std::vector<std::string_view>& content)
{
    struct stat status {};
    FileDescriptor fd;
    try {
        fd = OpenOrdinaryFileIfPresent(path, O_RDONLY, status);
    } catch (const RuntimeError&) {
        return false;
    }
    if (!fd.valid() || static_cast<std::uint64_t>(status.st_size) != SizeOfPieces(content))
        return false;
    char block[64 * 1024];
    PiecesComparison comparison(content);
    for (;;) {
        const ssize_t got = ReadSome(fd.get(), block, sizeof block);
        if (got < 0 || !comparison.matchesNext(std::string_view(block, static_cast<std::size_t>(got))))
            return false;
        if (got == 0)
            return comparison.matchedWhole();
    }
}

void KeepHiddenCopy(const std::string& path)
{
    struct stat old {};
    FileDescriptor source;
    try {
        source = OpenOrdinaryFileIfPresent(path, O_RDONLY, old);
    } catch (const RuntimeError& error) {
        if (error.number() == RuntimeErrorNumber::PermissionDenied)
            return;  // a user who may write hosts but not read it cannot keep it: the switch goes on as before
        throw;
    }
    if (!source.valid())
        return;
    const std::string directory = ParentOf(path);
    const std::string name = LastPartOf(path, kPosixSeparator);
    LockedTemporary temporary = CreateLockedTemporary(directory, name);
    if (!temporary.fd.valid()) {
        if (errno == EACCES || errno == EPERM || errno == EROFS)
            return;  // nowhere to keep it: the switch goes on as it always did
        ThrowErrno(path);
    }
    try {
        ReadThrough(source.get(), path, temporary.fd.get(), temporary.path);
        const mode_t mode = old.st_mode & 07777;
        if (!GiveIdentity(temporary.fd.get(), source.get(), old, mode) &&
            ::fchmod(temporary.fd.get(), mode & 0664) != 0)
            ThrowErrno(temporary.path);
        SyncFile(temporary.fd.get(), temporary.path);
        auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                       std::chrono::system_clock::now().time_since_epoch())
                       .count();
        // A copy of the same microsecond (a clock set back, two switches at once) is never replaced.
        for (;; ++now) {
            const std::string kept = directory + "/" + KeptCopyName(name, now);
            if (::renameat2(AT_FDCWD, temporary.path.c_str(), AT_FDCWD, kept.c_str(), RENAME_NOREPLACE) == 0)
                break;
            if (errno != EEXIST)
                ThrowErrno(kept);
        }
        SyncDirectory(directory);
    } catch (...) {
        ::unlink(temporary.path.c_str());
        throw;
    }
    RemoveOlderKeptCopies(directory, name);
}

std::string ReadWholeFile(const std::string& path)
{
    FinishInterruptedRewriteOf(path);  // never copies a file that a killed rewrite left cut
    struct stat status {};
    const FileDescriptor fd = OpenOrdinaryFile(path, O_RDONLY, status);

    // One byte more than the file's size, so that the end of the file is seen without growing the buffer
    // (growing would copy the whole content once more).
    std::string content;
    content.resize(static_cast<std::size_t>(status.st_size) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == content.size())
            content.resize(content.size() * 2);  // the file grew while it was read
        const ssize_t got = ReadSome(fd.get(), content.data() + filled, content.size() - filled);
        if (got < 0)
            ThrowErrno(path);
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    content.resize(filled);
    return content;
}

void ReplaceFileAtomically(const std::string& path, const std::vector<std::string_view>& content,
                           bool executable, const std::function<void()>& beforeReplacing)
{
    // Opening the file for writing is the test that this user may write it: a writable directory alone is
    // not enough to replace it. Its lock keeps every other replacement of it (another switch, the window's,
    // the privileged helper's) waiting until this one has ended, on every path below.
    struct stat existing {};
    const FileDescriptor target = OpenLockedForReplacement(path, existing);
    const bool exists = target.valid();
    if (exists && IsReadOnly(existing))
        ThrowReadOnly(path);
    if (exists)
        FinishInterruptedRewriteOf(path);  // an old journal must never later "restore" over this switch
    if (beforeReplacing)
        beforeReplacing();
    mode_t mode = exists ? (existing.st_mode & 07777) : (kCreationMode & ~CurrentUmask());
    if (executable)
        mode |= (mode & 0444) >> 2;

    const std::string directory = ParentOf(path);
    LockedTemporary temporary = CreateLockedTemporary(directory, LastPartOf(path, kPosixSeparator));
    if (!temporary.fd.valid()) {
        const int error = errno;
        if (!exists || (error != EACCES && error != EPERM))
            ThrowErrno(path, error);
        // The user may write the file but not its directory (how one user is given the right to switch).
        RewriteInPlaceWithoutJournal(target.get(), path, content);
        KeepMode(target.get(), mode);
        return;
    }

    try {
        WriteAll(temporary.fd.get(), content, path);
        bool identityKept = true;
        if (exists)
            identityKept = GiveIdentity(temporary.fd.get(), target.get(), existing, mode);
        else if (::fchmod(temporary.fd.get(), mode) != 0)
            ThrowErrno(path);
        SyncFile(temporary.fd.get(), path);
        bool replaced = false;
        if (identityKept) {
            replaced = ::rename(temporary.path.c_str(), path.c_str()) == 0;
            if (!replaced && (errno != EBUSY || !exists))
                ThrowErrno(path);
        }
        if (replaced) {
            SyncDirectory(directory);
        } else {
            // A bind mount (common for /etc/hosts in containers) cannot be renamed over, and a file whose
            // owner or attributes this user cannot give a new file must keep its own: rewrite it in place.
            RewriteInPlaceWithJournal(target.get(), path, content, temporary.path);
            KeepMode(target.get(), mode);
        }
    } catch (...) {
        ::unlink(temporary.path.c_str());
        throw;
    }
    RemoveStaleTemporaries(directory);
}

void AppendToFile(const std::string& path, const std::string& content)
{
    struct stat status {};
    FileDescriptor fd = OpenOrdinaryFileIfPresent(path, O_WRONLY | O_APPEND, status);
    if (fd.valid() && IsReadOnly(status))
        ThrowReadOnly(path);
    if (!fd.valid())
        fd = FileDescriptor(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                   kCreationMode));
    if (!fd.valid())
        ThrowErrno(path);
    WriteAll(fd.get(), {content}, path);
    if (fd.close() != 0)
        ThrowErrno(path);
}

bool CreateFileIfAbsent(const std::string& path, const std::string& content)
{
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kCreationMode));
    if (!fd.valid()) {
        if (errno == EEXIST)
            return false;
        ThrowErrno(path);
    }
    WriteAll(fd.get(), {content}, path);
    if (fd.close() != 0)
        ThrowErrno(path);
    return true;
}

void RemoveOrdinaryFile(const std::string& path)
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
