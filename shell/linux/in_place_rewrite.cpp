#include "shell/linux/in_place_rewrite.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/linux/posix_io.h"
#include "shell/paths.h"
#include "shell/rewrite_journal.h"
#include "shell/runtime_error.h"

namespace velmora::linux_platform {

namespace {

constexpr char kJournalPrefix[] = ".velmora~";
constexpr char kMarkerSuffix[] = ".journal";
// Keeps `.velmora~` + name + `.journal` within the longest file name (255).
constexpr std::size_t kLongestNamePart = 200;

// Where the journal of one file lives.
struct JournalPaths {
    static JournalPaths ForTarget(const std::string& directory, const std::string& targetName)
    {
        return FromBase(directory + "/" + kJournalPrefix + targetName.substr(0, kLongestNamePart));
    }
    static JournalPaths FromBase(const std::string& base)
    {
        return JournalPaths{base + kMarkerSuffix, base + ".old", base + ".new"};
    }
    std::string marker;
    std::string oldContent;
    std::string newContent;
};

std::string ReadSmallFile(int fd, const std::string& path, std::size_t limit)
{
    std::string text(limit, '\0');
    std::size_t filled = 0;
    while (filled < limit) {
        const ssize_t got = ReadSomeAt(fd, text.data() + filled, limit - filled, static_cast<off_t>(filled));
        if (got < 0)
            ThrowErrno(path);
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    text.resize(filled);
    return text;
}

// Makes sure that `size` bytes fit in the file before any of its content is overwritten. Leaves the
// content as it was; throws (Disk full and the like) when the space is not there.
void Reserve(int fd, std::uint64_t size, const std::string& path)
{
    if (size == 0)
        return;
    const auto length = static_cast<off_t>(size);
    int result = 0;
    do
        result = ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, length) == 0 ? 0 : errno;
    while (result == EINTR);
    if (result == 0)
        return;
    if (result != EOPNOTSUPP && result != ENOSYS)
        ThrowErrno(path, result);
    // Without a size-keeping reservation, grow the file (with zeros, under the journal or the restore) instead.
    struct stat before {};
    if (::fstat(fd, &before) != 0)
        ThrowErrno(path);
    result = ::posix_fallocate(fd, 0, length);
    if (result == 0 || result == EOPNOTSUPP || result == EINVAL)
        return;  // EOPNOTSUPP/EINVAL: nothing can be reserved here; the restore on failure must do
    // Takes away the zeros it may have added at the end; the old content itself was not touched.
    const bool shrunkBack = ::ftruncate(fd, before.st_size) == 0;
    static_cast<void>(shrunkBack);
    ThrowErrno(path, result);
}

void WriteWholeContent(int fd, const std::vector<std::string_view>& content, std::uint64_t size,
                       const std::string& path)
{
    if (::lseek(fd, 0, SEEK_SET) != 0)
        ThrowErrno(path);
    WriteAll(fd, content, path);
    if (::ftruncate(fd, static_cast<off_t>(size)) != 0)
        ThrowErrno(path);
    SyncFile(fd, path);
}

void RemoveJournal(const JournalPaths& paths, const std::string& directory)
{
    // The marker goes last: until it is gone, a crash here leaves a journal that the next start completes.
    ::unlink(paths.newContent.c_str());
    ::unlink(paths.oldContent.c_str());
    ::unlink(paths.marker.c_str());
    SyncDirectory(directory);
}

// Writes the content of the sibling `fromPath` over the target, if the sibling still holds `expected`.
bool CopyBackIfIntact(const std::string& fromPath, const ContentSummary& expected, int targetFd,
                      const std::string& targetPath)
{
    struct stat status {};
    FileDescriptor from;
    try {
        from = OpenOrdinaryFileIfPresent(fromPath, O_RDONLY, status);
    } catch (const RuntimeError&) {
        return false;
    }
    if (!from.valid() || ReadThrough(from.get(), fromPath) != expected)
        return false;
    Reserve(targetFd, expected.size, targetPath);
    ReadThrough(from.get(), fromPath, targetFd, targetPath);
    SyncFile(targetFd, targetPath);
    return true;
}

enum class RecoveryResult { JournalGone, JournalInUse };

// Completes or rolls back the journal whose marker is `markerName` in `directory`.
RecoveryResult RecoverJournal(const std::string& directory, const std::string& markerName)
{
    const std::string markerPath = directory + "/" + markerName;
    struct stat markerStatus {};
    FileDescriptor marker;
    try {
        marker = OpenOrdinaryFileIfPresent(markerPath, O_RDWR, markerStatus);
    } catch (const RuntimeError&) {
        return RecoveryResult::JournalInUse;  // not ours to open: someone with the rights recovers it
    }
    if (!marker.valid())
        return RecoveryResult::JournalGone;
    if (!TryLock(marker.get()))
        return RecoveryResult::JournalInUse;  // a running switch holds it
    struct stat linked {};
    if (::lstat(markerPath.c_str(), &linked) != 0 || linked.st_ino != markerStatus.st_ino ||
        linked.st_dev != markerStatus.st_dev)
        return RecoveryResult::JournalGone;  // removed or replaced while it was opened

    const std::string base = markerPath.substr(0, markerPath.size() - (sizeof kMarkerSuffix - 1));
    const std::optional<RewriteJournal> journal =
        ParseRewriteJournal(ReadSmallFile(marker.get(), markerPath, 64 * 1024));
    if (!journal) {
        // Cut short: the marker is completed before the file is first touched, so nothing is to be undone.
        RemoveJournal(JournalPaths::FromBase(base), directory);
        return RecoveryResult::JournalGone;
    }
    const JournalPaths paths = JournalPaths::ForTarget(directory, journal->targetName);
    // A `/` would make the name open another file than the one this marker stands for (the reader refuses a NUL).
    if (paths.marker != markerPath || journal->targetName.find('/') != std::string::npos ||
        journal->targetName.empty() || journal->targetName == "." || journal->targetName == "..")
        return RecoveryResult::JournalInUse;  // names a file this marker does not stand for: touch nothing

    const std::string targetPath = directory + "/" + journal->targetName;
    struct stat targetStatus {};
    FileDescriptor target;
    try {
        target = OpenOrdinaryFileIfPresent(targetPath, O_RDWR, targetStatus);
    } catch (const RuntimeError&) {
        return RecoveryResult::JournalInUse;  // not this user's to write, or no longer a file: keep the copies
    }
    if (!target.valid())
        return RecoveryResult::JournalInUse;  // nothing to restore into; keep the copies
    if (targetStatus.st_ino != journal->fileId) {
        RemoveJournal(paths, directory);  // replaced as a whole since: the journal has nothing to undo
        return RecoveryResult::JournalGone;
    }
    const ContentSummary now = ReadThrough(target.get(), targetPath);
    const auto copyBack = [&](JournalCopy copy, const ContentSummary& expected) {
        return CopyBackIfIntact(copy == JournalCopy::OldContent ? paths.oldContent : paths.newContent, expected,
                                target.get(), targetPath);
    };
    const bool settled = SettleInterruptedRewrite(*journal, now, copyBack);
    if (settled) {
        RemoveJournal(paths, directory);
        return RecoveryResult::JournalGone;
    }
    throw RuntimeError(RuntimeErrorNumber::PathFileAccessError, targetPath,
                       "an interrupted rewrite cannot be finished: neither its old nor its new content is left");
}

// The marker of a new journal, created and locked by this switch. A stale journal of the same file is
// recovered first; one held by a running switch makes this switch fail (it never waits).
FileDescriptor CreateLockedMarker(const JournalPaths& paths, const std::string& directory, const std::string& path)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        FileDescriptor marker(::open(paths.marker.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!marker.valid()) {
            if (errno != EEXIST)
                ThrowErrno(path);
            if (RecoverJournal(directory, LastPartOf(paths.marker, kPosixSeparator)) == RecoveryResult::JournalInUse)
                break;
            continue;
        }
        struct stat status {};
        if (TryLock(marker.get()) && ::fstat(marker.get(), &status) == 0 && status.st_nlink > 0)
            return marker;
        // A recovery took this marker for a stale one between its creation and the lock: start again.
    }
    throw RuntimeError(RuntimeErrorNumber::PermissionDenied, path,
                       "another switch is rewriting this file, or left a journal that cannot be finished");
}

std::string ReadAll(int fd, const std::string& path)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        ThrowErrno(path);
    return ReadSmallFile(fd, path, static_cast<std::size_t>(status.st_size));
}

}  // namespace

void FinishInterruptedRewriteOf(const std::string& path)
{
    const std::string directory = ParentOf(path);
    const JournalPaths paths = JournalPaths::ForTarget(directory, LastPartOf(path, kPosixSeparator));
    struct stat status {};
    if (::lstat(paths.marker.c_str(), &status) != 0)
        return;
    if (RecoverJournal(directory, LastPartOf(paths.marker, kPosixSeparator)) == RecoveryResult::JournalInUse)
        throw RuntimeError(RuntimeErrorNumber::PermissionDenied, path,
                           "an interrupted rewrite of this file waits to be finished (by a running switch, or by "
                           "a start with the rights to do it)");
}

void RecoverInterruptedRewrites(const std::string& nativeDirectory)
{
    std::vector<std::string> markers;
    if (DIR* directory = ::opendir(nativeDirectory.c_str())) {
        while (const dirent* entry = ::readdir(directory)) {
            const std::string_view name = entry->d_name;
            if (name.starts_with(kJournalPrefix) && name.ends_with(kMarkerSuffix))
                markers.emplace_back(name);
        }
        ::closedir(directory);
    }
    for (const std::string& marker : markers)
        RecoverJournal(nativeDirectory, marker);
}

void RewriteInPlaceWithJournal(int targetFd, const std::string& path, const std::vector<std::string_view>& content,
                               const std::string& newContentPath)
{
    const std::string directory = ParentOf(path);
    const JournalPaths paths = JournalPaths::ForTarget(directory, LastPartOf(path, kPosixSeparator));
    const FileDescriptor marker = CreateLockedMarker(paths, directory, path);
    struct stat targetStatus {};
    if (::fstat(targetFd, &targetStatus) != 0)
        ThrowErrno(path);
    RewriteJournal journal {{}, SummaryOf(content), targetStatus.st_ino, LastPartOf(path, kPosixSeparator)};
    FileDescriptor old;
    try {
        if (::rename(newContentPath.c_str(), paths.newContent.c_str()) != 0)
            ThrowErrno(paths.newContent);
        if (::unlink(paths.oldContent.c_str()) != 0 && errno != ENOENT)
            ThrowErrno(paths.oldContent);
        old = FileDescriptor(
            ::open(paths.oldContent.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!old.valid())
            ThrowErrno(paths.oldContent);
        journal.oldContent = ReadThrough(targetFd, path, old.get(), paths.oldContent);
        SyncFile(old.get(), paths.oldContent);
        const std::string text = RewriteJournalText(journal);
        WriteAll(marker.get(), {text}, paths.marker);
        SyncFile(marker.get(), paths.marker);
        SyncDirectory(directory);
    } catch (...) {
        RemoveJournal(paths, directory);
        throw;
    }

    // From here on the file may be cut at any moment; the journal undoes that at the next start.
    WriteOverOldContent(
        [&] {
            Reserve(targetFd, journal.newContent.size, path);
            WriteWholeContent(targetFd, content, journal.newContent.size, path);
        },
        [&] {
            Reserve(targetFd, journal.oldContent.size, path);
            ReadThrough(old.get(), paths.oldContent, targetFd, path);
            SyncFile(targetFd, path);
        },
        [&] { RemoveJournal(paths, directory); });
}

void RewriteInPlaceWithoutJournal(int targetFd, const std::string& path, const std::vector<std::string_view>& content)
{
    const std::string old = ReadAll(targetFd, path);
    const ContentSummary summary = SummaryOf(content);
    Reserve(targetFd, summary.size, path);
    // Without a sibling there is no copy to let go of: the old content lives only in memory.
    WriteOverOldContent([&] { WriteWholeContent(targetFd, content, summary.size, path); },
                        [&] { WriteWholeContent(targetFd, {old}, old.size(), path); }, [] {});
}

}  // namespace velmora::linux_platform
