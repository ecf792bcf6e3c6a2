#include "shell/windows/in_place_rewrite_win.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "shell/paths.h"
#include "shell/rewrite_journal.h"
#include "shell/runtime_error.h"
#include "shell/windows/error_mapping_win.h"
#include "shell/windows/file_handle_win.h"

namespace velmora::windows_platform {

namespace {

constexpr char kJournalPrefix[] = "~velmora~";
constexpr char kMarkerSuffix[] = ".journal";
// Keeps the journal's names within the longest file name, whatever the file's own name.
constexpr std::size_t kLongestNamePart = 200;
constexpr std::size_t kLongestMarker = 64 * 1024;

// Where the journal of one file lives.
struct JournalPaths {
    static JournalPaths ForTarget(const std::string& folder, const std::string& targetName)
    {
        return FromBase(folder + kJournalPrefix + targetName.substr(0, kLongestNamePart));
    }
    static JournalPaths FromBase(const std::string& base)
    {
        return JournalPaths {base + kMarkerSuffix, base + ".old", base + ".new"};
    }
    std::string marker;
    std::string oldContent;
    std::string newContent;
};

// A name the marker may stand for: a plain sibling, not a path, a device or a pattern.
bool IsPlainSiblingName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
    });
}

void Rewind(HANDLE file, const std::string& path)
{
    LARGE_INTEGER start {};
    if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        throw LastError(path);
}

void CutAt(HANDLE file, std::uint64_t size, const std::string& path)
{
    LARGE_INTEGER end {};
    end.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) || !::SetEndOfFile(file))
        throw LastError(path);
}

std::uint64_t SizeOf(HANDLE file, const std::string& path)
{
    LARGE_INTEGER size {};
    if (!::GetFileSizeEx(file, &size))
        throw LastError(path);
    return static_cast<std::uint64_t>(size.QuadPart);
}

// The file's index on its volume: it changes when the file is replaced as a whole.
std::uint64_t FileIdOf(HANDLE file, const std::string& path)
{
    BY_HANDLE_FILE_INFORMATION information {};
    if (!::GetFileInformationByHandle(file, &information))
        throw LastError(path);
    return (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
}

bool IsOrdinaryDiskFile(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION information {};
    return ::GetFileType(file) == FILE_TYPE_DISK && ::GetFileInformationByHandle(file, &information) &&
           (information.dwFileAttributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0;
}

// Reads the whole file from its start, optionally copying it over `copyTo` from its start (which is then cut
// to the copied size), and gives its size and checksum.
ContentSummary ReadThrough(HANDLE from, const std::string& fromPath, HANDLE copyTo = INVALID_HANDLE_VALUE,
                           const std::string& copyPath = {})
{
    const bool copying = copyTo != INVALID_HANDLE_VALUE;
    Rewind(from, fromPath);
    if (copying)
        Rewind(copyTo, copyPath);
    std::string buffer(1u << 20, '\0');
    ContentChecksum checksum;
    std::uint64_t size = 0;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            throw LastError(fromPath);
        if (got == 0)
            break;
        const std::string_view chunk(buffer.data(), got);
        checksum.add(chunk);
        if (copying)
            WritePieces(copyTo, {chunk}, copyPath);
        size += got;
    }
    if (copying)
        CutAt(copyTo, size, copyPath);
    return ContentSummary {size, checksum.value()};
}

// Makes sure that `size` bytes fit in the file before any of its content is overwritten, by growing it at
// its end; the content itself is left as it was. Throws (Disk full and the like) when the space is not there,
// with the file at its old size again.
void Reserve(HANDLE file, std::uint64_t size, const std::string& path)
{
    const std::uint64_t before = SizeOf(file, path);
    if (size <= before)
        return;
    try {
        CutAt(file, size, path);
    } catch (...) {
        try {
            CutAt(file, before, path);
        } catch (const RuntimeError&) {
            // The first failure is the one to report; the journal or the restore deals with the zeros.
        }
        throw;
    }
}

void WriteWholeContent(HANDLE file, const std::vector<std::string_view>& content, std::uint64_t size,
                       const std::string& path)
{
    Rewind(file, path);
    WritePieces(file, content, path);
    CutAt(file, size, path);
    FlushToDisk(file, path);
}

void DeleteSibling(const std::string& path)
{
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(path.c_str());
}

// Removes the journal; the marker goes last (and its lock with it): until it is gone, a crash here leaves a
// journal that the next start completes.
void RemoveJournal(const JournalPaths& paths, ScopedHandle& marker)
{
    DeleteSibling(paths.newContent);
    DeleteSibling(paths.oldContent);
    if (marker.valid())
        marker.close();
    DeleteSibling(paths.marker);
}

std::string ReadMarker(HANDLE marker, const std::string& path)
{
    std::string text(kLongestMarker, '\0');
    std::size_t filled = 0;
    Rewind(marker, path);
    while (filled < text.size()) {
        DWORD got = 0;
        if (!::ReadFile(marker, text.data() + filled, static_cast<DWORD>(text.size() - filled), &got, nullptr))
            throw LastError(path);
        if (got == 0)
            break;
        filled += got;
    }
    text.resize(filled);
    return text;
}

// Opens an existing sibling of ours or of the journal without following a reparse point; nothing when it
// cannot be opened (why is in the thread's last error).
ScopedHandle OpenExisting(const std::string& path, DWORD access, DWORD share)
{
    return ScopedHandle(::CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// Writes the copy at `fromPath` over the target, if the copy still holds `expected`.
bool CopyBackIfIntact(const std::string& fromPath, const ContentSummary& expected, HANDLE target,
                      const std::string& targetPath)
{
    const ScopedHandle from = OpenExisting(fromPath, GENERIC_READ, FILE_SHARE_READ);
    if (!from.valid() || !IsOrdinaryDiskFile(from.get()) || ReadThrough(from.get(), fromPath) != expected)
        return false;
    Reserve(target, expected.size, targetPath);
    ReadThrough(from.get(), fromPath, target, targetPath);
    FlushToDisk(target, targetPath);
    return true;
}

enum class RecoveryResult { JournalGone, JournalInUse };

// Completes or rolls back the journal whose marker is `markerName` in `folder` (which ends in a separator).
RecoveryResult RecoverJournal(const std::string& folder, const std::string& markerName)
{
    const std::string markerPath = folder + markerName;
    // No sharing: while this runs no switch can start a journal of the same file, and a running one keeps
    // this open from succeeding.
    ScopedHandle marker = OpenExisting(markerPath, GENERIC_READ | GENERIC_WRITE, 0);
    if (!marker.valid())
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? RecoveryResult::JournalGone : RecoveryResult::JournalInUse;
    if (!IsOrdinaryDiskFile(marker.get()))
        return RecoveryResult::JournalInUse;  // not one of ours: touch nothing

    const std::string base = markerPath.substr(0, markerPath.size() - (sizeof kMarkerSuffix - 1));
    const std::optional<RewriteJournal> journal = ParseRewriteJournal(ReadMarker(marker.get(), markerPath));
    if (!journal) {
        // Cut short: the marker is completed before the file is first touched, so nothing is to be undone.
        RemoveJournal(JournalPaths::FromBase(base), marker);
        return RecoveryResult::JournalGone;
    }
    const JournalPaths paths = JournalPaths::ForTarget(folder, journal->targetName);
    if (!IsPlainSiblingName(journal->targetName) || paths.marker != markerPath)
        return RecoveryResult::JournalInUse;  // names a file this marker does not stand for: touch nothing

    const std::string targetPath = folder + journal->targetName;
    // Whoever kept the file from being replaced may hold it still: reading and writing are shared with it.
    const ScopedHandle target = OpenExisting(targetPath, GENERIC_READ | GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!target.valid() || !IsOrdinaryDiskFile(target.get()))
        return RecoveryResult::JournalInUse;  // gone, held, or no longer a file: keep the copies
    if (FileIdOf(target.get(), targetPath) != journal->fileId) {
        RemoveJournal(paths, marker);  // replaced as a whole since: the journal has nothing to undo
        return RecoveryResult::JournalGone;
    }
    const ContentSummary now = ReadThrough(target.get(), targetPath);
    const auto copyBack = [&](JournalCopy copy, const ContentSummary& expected) {
        return CopyBackIfIntact(copy == JournalCopy::OldContent ? paths.oldContent : paths.newContent, expected,
                                target.get(), targetPath);
    };
    if (SettleInterruptedRewrite(*journal, now, copyBack)) {
        RemoveJournal(paths, marker);
        return RecoveryResult::JournalGone;
    }
    throw RuntimeError(RuntimeErrorNumber::PathFileAccessError, targetPath,
                       "an interrupted rewrite cannot be finished: neither its old nor its new content is left");
}

// The marker of a new journal, created and held by this rewrite. A stale journal of the same file is
// recovered first; one held by a running rewrite makes this one fail (it never waits).
ScopedHandle CreateHeldMarker(const JournalPaths& paths, const std::string& folder, const std::string& path)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        ScopedHandle marker(::CreateFileA(paths.marker.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (marker.valid())
            return marker;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            throw ErrorFromWin32(error, paths.marker);
        if (RecoverJournal(folder, LastPartOf(paths.marker)) == RecoveryResult::JournalInUse)
            break;
    }
    throw RuntimeError(RuntimeErrorNumber::PermissionDenied, path,
                       "another switch is rewriting this file, or left a journal that cannot be finished");
}

}  // namespace

void RecoverInterruptedRewrites(const std::string& folder)
{
    const std::string directory = folder.empty() || folder.back() == '\\' ? folder : folder + "\\";
    std::vector<std::string> markers;
    WIN32_FIND_DATAA found {};
    {
        const ScopedFindHandle search(
            ::FindFirstFileA((directory + kJournalPrefix + "*" + kMarkerSuffix).c_str(), &found));
        if (!search.valid())
            return;
        do
            markers.emplace_back(found.cFileName);
        while (::FindNextFileA(search.get(), &found));
    }
    for (const std::string& marker : markers)
        RecoverJournal(directory, marker);
}

void FinishInterruptedRewriteOf(const std::string& path)
{
    const std::string folder = DirectoryPartOf(path);
    const JournalPaths paths = JournalPaths::ForTarget(folder, LastPartOf(path));
    if (::GetFileAttributesA(paths.marker.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    if (RecoverJournal(folder, LastPartOf(paths.marker)) == RecoveryResult::JournalInUse)
        throw RuntimeError(RuntimeErrorNumber::PermissionDenied, path,
                           "an interrupted rewrite of this file waits to be finished (by a running switch)");
}

void RewriteInPlaceWithJournal(HANDLE target, const std::string& path, const std::vector<std::string_view>& content,
                               const std::string& newContentPath)
{
    const std::string folder = DirectoryPartOf(path);
    const JournalPaths paths = JournalPaths::ForTarget(folder, LastPartOf(path));
    ScopedHandle marker = CreateHeldMarker(paths, folder, path);
    RewriteJournal journal {{}, SummaryOf(content), FileIdOf(target, path), LastPartOf(path)};
    ScopedHandle old;
    try {
        if (!::MoveFileExA(newContentPath.c_str(), paths.newContent.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw LastError(paths.newContent);
        ::SetFileAttributesA(paths.newContent.c_str(), FILE_ATTRIBUTE_HIDDEN);
        DeleteSibling(paths.oldContent);
        old = ScopedHandle(::CreateFileA(paths.oldContent.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (!old.valid())
            throw LastError(paths.oldContent);
        journal.oldContent = ReadThrough(target, path, old.get(), paths.oldContent);
        FlushToDisk(old.get(), paths.oldContent);
        const std::string text = RewriteJournalText(journal);
        WritePieces(marker.get(), {text}, paths.marker);
        FlushToDisk(marker.get(), paths.marker);
    } catch (...) {
        if (old.valid())
            old.close();
        RemoveJournal(paths, marker);
        throw;
    }

    // From here on the file may be cut at any moment; the journal undoes that at the next start.
    WriteOverOldContent(
        [&] {
            Reserve(target, journal.newContent.size, path);
            WriteWholeContent(target, content, journal.newContent.size, path);
        },
        [&] {
            Reserve(target, journal.oldContent.size, path);
            ReadThrough(old.get(), paths.oldContent, target, path);
            FlushToDisk(target, path);
        },
        [&] {
            old.close();
            RemoveJournal(paths, marker);
        });
}

}  // namespace velmora::windows_platform
