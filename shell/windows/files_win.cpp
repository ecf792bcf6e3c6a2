#include "shell/windows/files_win.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "shell/paths.h"
#include "shell/platform.h"
#include "shell/runtime_error.h"
#include "shell/string_ops.h"
#include "shell/text_pieces.h"
#include "shell/windows/ansi_text_win.h"
#include "shell/windows/error_mapping_win.h"
#include "shell/windows/file_handle_win.h"
#include "shell/windows/in_place_rewrite_win.h"
#include "shell/windows/scoped_resources_win.h"

namespace velmora::windows_platform {

namespace {

constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
constexpr DWORD kHiddenFromUsers = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool IsSharingConflict(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED;  // nothing changed yet: the replaced file was held
}

// Runs a step until it succeeds or fails for another reason than a handle another program holds (virus
// scanners and indexers open new files briefly): five tries, pausing 50, 100, 200 and 400 ms between them.
// Returns whether the step succeeded; the thread's last error tells why not.
template <typename Step>
bool TryWhileShared(Step&& step)
{
    DWORD pause = 50;
    for (int attempt = 1;; ++attempt) {
        if (step())
            return true;
        const DWORD error = ::GetLastError();
        if (attempt == 5 || !IsSharingConflict(error))
            return false;
        ::Sleep(pause);
        pause *= 2;
    }
}

// The attributes of what the path names, or nothing when there is no such file (a missing directory on
// the way is an error: "Path not found").
bool ExistingAttributes(const std::string& path, DWORD& attributes)
{
    attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return true;
    if (::GetLastError() == ERROR_FILE_NOT_FOUND)
        return false;
    throw LastError(path);
}

[[noreturn]] void ThrowNotOrdinary(const std::string& path)
{
    throw RuntimeError(RuntimeErrorNumber::PathFileAccessError, path, "not an ordinary file");
}

// Refuses what may not be written: anything but an ordinary file, and a read-only file. Returns whether
// the file exists, with its attributes.
bool CheckWritable(const std::string& path, DWORD& attributes)
{
    if (!ExistingAttributes(path, attributes))
        return false;
    if (attributes & kNotOrdinary)
        ThrowNotOrdinary(path);
    if (attributes & FILE_ATTRIBUTE_READONLY)
        throw RuntimeError(RuntimeErrorNumber::PermissionDenied, path, "the file is read-only");
    return true;
}

// Opens a file without following a reparse point and makes sure that what was opened is an ordinary file
// on a disk (a name such as CON or a symbolic link planted after the lookup is refused here).
ScopedHandle OpenOrdinaryFile(const std::string& path, DWORD access, DWORD share, DWORD disposition)
{
    HANDLE opened = INVALID_HANDLE_VALUE;
    if (!TryWhileShared([&] {
            opened = ::CreateFileA(path.c_str(), access, share, nullptr, disposition,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
            return opened != INVALID_HANDLE_VALUE;
        }))
        throw LastError(path);
    ScopedHandle file(opened);
    BY_HANDLE_FILE_INFORMATION information {};
    if (::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & kNotOrdinary))
        ThrowNotOrdinary(path);
    return file;
}

void WriteAllBytes(HANDLE file, const char* data, std::size_t size, const std::string& path)
{
    constexpr std::size_t kLargestWrite = 64u << 20;
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min(size, kLargestWrite));
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr))
            throw LastError(path);
        data += written;
        size -= written;
    }
}

constexpr char kTemporaryPrefix[] = "~velmora-";

// A sibling name no listing of the program shows: "~velmora-<process id>-<count>", unique within this
// process and, through the process id, among processes; a backup adds the name of the file it belongs to
// ("~velmora-<id>-<count>-<name>.bak"), so that an interrupted replacement can be put right later.
std::string TemporarySiblingOf(const std::string& path, const char* extension)
{
    static std::atomic<unsigned> counter {0};
    std::string name = DirectoryPartOf(path) + kTemporaryPrefix;
    name += std::to_string(::GetCurrentProcessId());
    name += '-';
    name += std::to_string(counter++);
    if (std::string_view(extension) == ".bak") {
        name += '-';
        name += LastPartOf(path);
    }
    name += extension;
    return name;
}

bool ProcessRuns(DWORD processId)
{
    const ScopedHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!process.valid())
        return ::GetLastError() == ERROR_ACCESS_DENIED;  // it runs, as another user
    return ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

bool IsDeviceName(std::string name)
{
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    ::CharUpperBuffA(name.data(), static_cast<DWORD>(name.size()));
    if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL" || name == "CONIN$" || name == "CONOUT$")
        return true;
    return name.size() == 4 && (name.rfind("COM", 0) == 0 || name.rfind("LPT", 0) == 0) && name[3] >= '1' &&
           name[3] <= '9';
}

// Deletes a temporary file of ours, whatever its attributes; failures are of no further interest.
void DiscardTemporary(const std::string& path)
{
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(path.c_str());
}

// Puts the flushed temporary in place of an existing file. Passing a backup name keeps ReplaceFileA's
// half-way failures recoverable: after 1176 both files keep their own names, and after 1177 the old file
// sits under the backup name and is moved back. Whatever failed, the old content is at the path again;
// gives the error (ERROR_SUCCESS when replaced).
DWORD ReplaceExisting(const std::string& path, const std::string& temporary)
{
    const std::string backup = TemporarySiblingOf(path, ".bak");
    const bool replaced = TryWhileShared([&] {
        return ::ReplaceFileA(path.c_str(), temporary.c_str(), backup.c_str(),
                              REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                              nullptr) != FALSE;
    });
    const DWORD error = replaced ? ERROR_SUCCESS : ::GetLastError();
    const bool pathEmpty = ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    const bool backupKept = ::GetFileAttributesA(backup.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!replaced && pathEmpty && backupKept)
        ::MoveFileExA(backup.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH);
    else if (backupKept)
        DiscardTemporary(backup);
    return error;
}

// Where another program holds the file with read and write sharing but without delete sharing, it cannot be
// replaced, yet it can be written: it is rewritten in place under a journal, from the flushed temporary.
// Without that much sharing the original refusal stands and nothing is touched.
void RewriteHeldFile(const std::string& path, const std::vector<std::string_view>& content,
                     const std::string& temporary, DWORD replaceError)
{
    ScopedHandle target(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr));
    if (!target.valid())
        throw ErrorFromWin32(replaceError, path);
    BY_HANDLE_FILE_INFORMATION information {};
    if (::GetFileType(target.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(target.get(), &information) ||
        (information.dwFileAttributes & kNotOrdinary))
        ThrowNotOrdinary(path);
    RewriteInPlaceWithJournal(target.get(), path, content, temporary);
}

// Creates the hidden temporary sibling; a name left behind by an earlier run of the same process id is
// passed over.
HANDLE CreateTemporarySibling(const std::string& path, std::string& temporary)
{
    for (int attempt = 0;; ++attempt) {
        temporary = TemporarySiblingOf(path, ".tmp");
        const HANDLE file = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS || attempt == 100)
            return file;
    }
}

}  // namespace

// Small pieces are gathered, large ones written as they are.
void WritePieces(HANDLE file, const std::vector<std::string_view>& pieces, const std::string& path)
{
    constexpr std::size_t kGatherSize = 1u << 20;
    std::string gathered;
    gathered.reserve(kGatherSize);
    for (std::string_view piece : pieces) {
        if (gathered.size() + piece.size() > kGatherSize) {
            WriteAllBytes(file, gathered.data(), gathered.size(), path);
            gathered.clear();
        }
        if (piece.size() >= kGatherSize)
            WriteAllBytes(file, piece.data(), piece.size(), path);
        else
            gathered.append(piece);
    }
    WriteAllBytes(file, gathered.data(), gathered.size(), path);
}

void FlushToDisk(HANDLE file, const std::string& path)
{
    if (!::FlushFileBuffers(file))
        throw LastError(path);
}

std::string UpperCaseInCodePage(std::string name)
{
    if (!name.empty())
        ::CharUpperBuffA(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

std::vector<std::string> FindOrdinaryFiles(const std::string& pattern)
{
    std::vector<std::string> names;
    const std::string folder = DirectoryPartOf(pattern);
    // The wide search sees each name as stored; FindFirstFileA would give look-alikes of names outside the
    // code page, which stand for other files.
    WIN32_FIND_DATAW found {};
    const ScopedFindHandle search(::FindFirstFileW(WideOf(pattern).c_str(), &found));
    if (!search.valid())
        return names;
    do {
        if (found.dwFileAttributes & (kNotOrdinary | kHiddenFromUsers))
            continue;
        std::string name = ExactAnsiOf(found.cFileName);
        if (!HoldsUnrepresentable(name) && folder.size() + name.size() < MAX_PATH)
            names.push_back(std::move(name));
    } while (::FindNextFileW(search.get(), &found));
    return names;
}

std::string ReadWholeFile(const std::string& path)
{
    DWORD attributes = 0;
    if (ExistingAttributes(path, attributes) && (attributes & kNotOrdinary))
        ThrowNotOrdinary(path);
    ScopedHandle file = OpenOrdinaryFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING);
    LARGE_INTEGER size {};
    if (!::GetFileSizeEx(file.get(), &size))
        throw LastError(path);
    // One byte more than the size, so that the end is seen without growing the buffer.
    std::string content(static_cast<std::size_t>(size.QuadPart) + 1, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == content.size())
            content.resize(content.size() * 2);  // the file grew while it was read
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(content.size() - filled, 64u << 20));
        DWORD got = 0;
        if (!::ReadFile(file.get(), content.data() + filled, wanted, &got, nullptr))
            throw LastError(path);
        if (got == 0)
            break;
        filled += got;
    }
    content.resize(filled);
    return content;
}

void ReplaceFileAtomically(const std::string& path, const std::vector<std::string_view>& content,
                           const std::function<void()>& beforeReplacing)
{
    DWORD attributes = 0;
    const bool exists = CheckWritable(path, attributes);
    // The replacing calls give the file the case of the name they are handed: a file named in another
    // case than it is stored in is replaced under its stored name, so that it keeps that name.
    const std::optional<std::string> stored = exists ? StoredEntryName(path) : std::nullopt;
    if (stored && *stored != LastPartOf(path))
        return ReplaceFileAtomically(DirectoryPartOf(path) + *stored, content, beforeReplacing);
    if (exists)
        FinishInterruptedRewriteOf(path);  // an old journal must never later "restore" over this replacement
    if (beforeReplacing)
        beforeReplacing();

    std::string temporary;
    ScopedHandle file(CreateTemporarySibling(path, temporary));
    if (!file.valid())
        throw LastError(path);
    try {
        WritePieces(file.get(), content, path);
        if (!::FlushFileBuffers(file.get()))
            throw LastError(path);
        if (!file.close())
            throw LastError(path);
        // The new file shows the old one's attributes (a new file the ordinary archive attribute), so it
        // is neither hidden nor marked otherwise than before, whatever the replacing call carries over.
        const DWORD shown = exists ? (attributes & ~FILE_ATTRIBUTE_NORMAL) : FILE_ATTRIBUTE_ARCHIVE;
        if (!::SetFileAttributesA(temporary.c_str(), shown ? shown : FILE_ATTRIBUTE_NORMAL))
            throw LastError(path);
        if (exists) {
            if (const DWORD error = ReplaceExisting(path, temporary); error != ERROR_SUCCESS) {
                if (!IsSharingConflict(error))
                    throw ErrorFromWin32(error, path);
                RewriteHeldFile(path, content, temporary, error);
            }
        } else if (!TryWhileShared([&] {
                       return ::MoveFileExA(temporary.c_str(), path.c_str(),
                                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
                   })) {
            throw LastError(path);
        }
    } catch (...) {
        if (file.valid())
            file.close();
        DiscardTemporary(temporary);
        throw;
    }
}

void AppendToFile(const std::string& path, const std::string& content)
{
    DWORD attributes = 0;
    CheckWritable(path, attributes);
    ScopedHandle file = OpenOrdinaryFile(path, FILE_APPEND_DATA, FILE_SHARE_READ, OPEN_ALWAYS);
    WriteAllBytes(file.get(), content.data(), content.size(), path);
    if (!file.close())
        throw LastError(path);
}

bool CreateFileIfAbsent(const std::string& path, const std::string& content)
{
    ScopedHandle file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            return false;
        throw ErrorFromWin32(error, path);
    }
    try {
        WriteAllBytes(file.get(), content.data(), content.size(), path);
        if (!file.close())
            throw LastError(path);
    } catch (...) {
        if (file.valid())
            file.close();
        ::DeleteFileA(path.c_str());  // no half-written file stays behind
        throw;
    }
    return true;
}

namespace {

void PutBackInterruptedReplacements(const std::string& directory)
{
    WIN32_FIND_DATAA found {};
    std::vector<std::string> leftovers;
    {
        const ScopedFindHandle search(::FindFirstFileA((directory + kTemporaryPrefix + "*").c_str(), &found));
        if (!search.valid())
            return;
        do
            leftovers.emplace_back(found.cFileName);
        while (::FindNextFileA(search.get(), &found));
    }

    for (const std::string& name : leftovers) {
        // "~velmora-<process id>-<count>" and then ".tmp", or "-<name of the file>.bak".
        const std::string rest = name.substr(sizeof kTemporaryPrefix - 1);
        const std::size_t idEnd = rest.find('-');
        const std::size_t countEnd = idEnd == std::string::npos ? idEnd : rest.find_first_of("-.", idEnd + 1);
        if (idEnd == 0 || countEnd == std::string::npos ||
            rest.find_first_not_of("0123456789") != idEnd)
            continue;  // not one of ours
        if (ProcessRuns(static_cast<DWORD>(std::strtoul(rest.c_str(), nullptr, 10))))
            continue;  // its replacement may be under way
        const std::string leftover = directory + name;
        const bool backup = rest.size() > 4 && rest.compare(rest.size() - 4, 4, ".bak") == 0 && rest[countEnd] == '-';
        if (backup) {
            const std::string owner = directory + rest.substr(countEnd + 1, rest.size() - 4 - countEnd - 1);
            // Stopped between moving the old file aside and moving the new one in: the old one comes back.
            if (::GetFileAttributesA(owner.c_str()) == INVALID_FILE_ATTRIBUTES &&
                ::GetLastError() == ERROR_FILE_NOT_FOUND) {
                ::MoveFileExA(leftover.c_str(), owner.c_str(), MOVEFILE_WRITE_THROUGH);
                continue;
            }
        }
        DiscardTemporary(leftover);
    }
}

}  // namespace

void FinishInterruptedReplacements(const std::string& folder)
{
    const std::string directory = folder.empty() || folder.back() == '\\' ? folder : folder + "\\";
    PutBackInterruptedReplacements(directory);
    RecoverInterruptedRewrites(directory);
}

std::optional<std::string> StoredEntryName(const std::string& path)
{
    const std::string name = LastPartOf(path);
    if (name.empty() || name.find_first_of("*?") != std::string::npos)
        return std::nullopt;
    if (IsDeviceName(name))
        return name;
    WIN32_FIND_DATAW found {};
    if (!ScopedFindHandle(::FindFirstFileW(WideOf(path).c_str(), &found)).valid())
        return std::nullopt;
    return ExactAnsiOf(found.cFileName);
}

bool CanKeepFileAt(const std::string& path)
{
    // The longest sibling a replacement makes is the backup "~velmora-<id>-<count>-<name>.bak".
    constexpr std::size_t kLongestSiblingExtra = sizeof kTemporaryPrefix - 1 + 10 + 1 + 10 + 1 + 4;
    return !HoldsUnrepresentable(path) && path.size() + kLongestSiblingExtra < MAX_PATH;
}

void RemoveOrdinaryFile(const std::string& path)
{
    DWORD attributes = 0;
    if (!ExistingAttributes(path, attributes))
        throw ErrorFromWin32(ERROR_FILE_NOT_FOUND, path);
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))
        throw RuntimeError(RuntimeErrorNumber::PathFileAccessError, path,
                           attributes & FILE_ATTRIBUTE_DIRECTORY ? "a directory" : "the file is read-only");
    if (!TryWhileShared([&] { return ::DeleteFileA(path.c_str()) != FALSE; }))
        throw LastError(path);
}

namespace {

constexpr char kKeptCopyMark[] = "~kept-";
constexpr std::size_t kKeptCopiesKept = 5;
// YYYYMMDD-HHMMSS-UUUUUU
constexpr std::size_t kKeptCopyStampLength = 22;

// The leading dot keeps both the name and the short name the system makes of it (which drops the dot and
// begins "HOSTS~") out of the `hosts.*` search.
std::string KeptCopyPrefix(const std::string& name)
{
    return "." + name + kKeptCopyMark;
}

bool IsKeptCopyName(const std::string& entry, const std::string& prefix)
{
    if (entry.size() != prefix.size() + kKeptCopyStampLength ||
        LowerCaseAscii(entry.substr(0, prefix.size())) != LowerCaseAscii(prefix))
        return false;
    const std::string_view stamp = std::string_view(entry).substr(prefix.size());
    for (std::size_t at = 0; at < stamp.size(); ++at) {
        const bool dash = at == 8 || at == 15;
        if (dash ? stamp[at] != '-' : (stamp[at] < '0' || stamp[at] > '9'))
            return false;
    }
    return true;
}

// Microseconds since 1601 (the system's file time) as the stamp of a kept copy; stamps sort as times do.
std::string KeptCopyStamp(std::uint64_t microseconds)
{
    ULARGE_INTEGER ticks {};
    ticks.QuadPart = microseconds * 10;
    const FILETIME time {ticks.LowPart, ticks.HighPart};
    SYSTEMTIME utc {};
    ::FileTimeToSystemTime(&time, &utc);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04u%02u%02u-%02u%02u%02u-%06u", unsigned {utc.wYear}, unsigned {utc.wMonth},
                  unsigned {utc.wDay}, unsigned {utc.wHour}, unsigned {utc.wMinute}, unsigned {utc.wSecond},
                  static_cast<unsigned>(microseconds % 1000000));
    return stamp;
}

std::uint64_t MicrosecondsNow()
{
    FILETIME now {};
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks {};
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    return ticks.QuadPart / 10;
}

// Opens a file to be read whole without another process writing it meanwhile: no write sharing. A file that
// another program holds for writing already (which a switch rewrites in place) is opened with it shared.
// An invalid handle when it cannot be opened, with the reason in the thread's last error.
ScopedHandle OpenToReadWhole(const std::string& path)
{
    constexpr DWORD kFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN;
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, kFlags, nullptr));
    if (!file.valid() && ::GetLastError() == ERROR_SHARING_VIOLATION)
        file = ScopedHandle(::CreateFileA(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, kFlags, nullptr));
    return file;
}

bool IsOrdinaryDiskFile(HANDLE file, BY_HANDLE_FILE_INFORMATION& information)
{
    return ::GetFileType(file) == FILE_TYPE_DISK && ::GetFileInformationByHandle(file, &information) &&
           (information.dwFileAttributes & kNotOrdinary) == 0;
}

// Gives the copy the file's access list; where this user may not read or give it, the copy keeps the one
// the folder gives new files.
void CopyAccessList(const std::string& from, const std::string& to)
{
    constexpr SECURITY_INFORMATION kWhat = DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    ::GetFileSecurityA(from.c_str(), kWhat, nullptr, 0, &needed);
    if (needed == 0)
        return;
    std::string descriptor(needed, '\0');
    if (::GetFileSecurityA(from.c_str(), kWhat, descriptor.data(), needed, &needed))
        ::SetFileSecurityA(to.c_str(), kWhat, descriptor.data());
}

// Removes all but the newest kept copies of the file `name` in the folder (which ends in a separator): only
// names of exactly that pattern, only ordinary files. Never fails.
void RemoveOlderKeptCopies(const std::string& directory, const std::string& name)
{
    const std::string prefix = KeptCopyPrefix(name);
    std::vector<std::string> copies;
    WIN32_FIND_DATAA found {};
    const ScopedFindHandle search(::FindFirstFileA((directory + prefix + "*").c_str(), &found));
    if (!search.valid())
        return;
    do {
        // The pattern may have matched a short name: the long one decides.
        if (!(found.dwFileAttributes & kNotOrdinary) && IsKeptCopyName(found.cFileName, prefix))
            copies.emplace_back(found.cFileName);
    } while (::FindNextFileA(search.get(), &found));
    if (copies.size() <= kKeptCopiesKept)
        return;
    std::sort(copies.begin(), copies.end(), [&](const std::string& a, const std::string& b) {
        return a.compare(prefix.size(), std::string::npos, b, prefix.size(), std::string::npos) < 0;
    });
    copies.resize(copies.size() - kKeptCopiesKept);
    for (const std::string& copy : copies)
        DiscardTemporary(directory + copy);
}

}  // namespace

std::optional<std::uint64_t> OrdinaryFileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data {};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) || (data.dwFileAttributes & kNotOrdinary))
        return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool FileHolds(const std::string& path, const std::vector<std::string_view>& content)
{
    const ScopedHandle file = OpenToReadWhole(path);
    BY_HANDLE_FILE_INFORMATION information {};
    if (!file.valid() || !IsOrdinaryDiskFile(file.get(), information))
        return false;
    if (((static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow) !=
        SizeOfPieces(content))
        return false;
    std::string block(64 * 1024, '\0');
    PiecesComparison comparison(content);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &got, nullptr) ||
            !comparison.matchesNext(std::string_view(block.data(), got)))
            return false;
        if (got == 0)
            return comparison.matchedWhole();
    }
}

void KeepHiddenCopy(const std::string& path)
{
    const ScopedHandle source = OpenToReadWhole(path);
    if (!source.valid()) {
        // Missing, or a user who may write hosts but not read it: nothing this user could keep, and the
        // switch goes on as before. A file held without sharing stays an error (the replacement would fail).
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_ACCESS_DENIED)
            return;
        throw ErrorFromWin32(error, path);
    }
    BY_HANDLE_FILE_INFORMATION information {};
    if (!IsOrdinaryDiskFile(source.get(), information))
        ThrowNotOrdinary(path);
    std::string temporary;
    ScopedHandle copy(CreateTemporarySibling(path, temporary));
    if (!copy.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
            return;  // nowhere to keep it: the switch goes on as it always did
        throw ErrorFromWin32(error, path);
    }
    const std::string directory = DirectoryPartOf(path);
    try {
        std::string block(1u << 20, '\0');
        for (;;) {
            DWORD got = 0;
            if (!::ReadFile(source.get(), block.data(), static_cast<DWORD>(block.size()), &got, nullptr))
                throw LastError(path);
            if (got == 0)
                break;
            WriteAllBytes(copy.get(), block.data(), got, temporary);
        }
        FlushToDisk(copy.get(), temporary);
        if (!copy.close())
            throw LastError(temporary);
        CopyAccessList(path, temporary);
        const DWORD shown = (information.dwFileAttributes & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_HIDDEN;
        if (!::SetFileAttributesA(temporary.c_str(), shown))
            throw LastError(temporary);
        // A copy of the same microsecond (a clock set back, two switches at once) is never replaced.
        for (std::uint64_t now = MicrosecondsNow();; ++now) {
            const std::string kept = directory + KeptCopyPrefix(LastPartOf(path)) + KeptCopyStamp(now);
            if (::MoveFileExA(temporary.c_str(), kept.c_str(), MOVEFILE_WRITE_THROUGH))
                break;
            const DWORD error = ::GetLastError();
            if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
                throw ErrorFromWin32(error, kept);
        }
    } catch (...) {
        if (copy.valid())
            copy.close();
        DiscardTemporary(temporary);
        throw;
    }
    RemoveOlderKeptCopies(directory, LastPartOf(path));
}

}  // namespace velmora::windows_platform
