#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::windows_platform {

// File operations on Windows paths with the Win32 ANSI functions, as bytes. Only ordinary files are opened:
// directories, reparse points (symbolic links, junctions) and devices are refused with error 75, and a
// file with the read-only attribute is refused for writing with error 70. Failures throw RuntimeError.

// The bare names of the ordinary files whose names match the pattern's last part by the system's own rules,
// without directories and hidden, system or reparse-point entries, in the order the system gives them.
// Only names the program can act on are given: a name the ANSI code page cannot hold exactly (which
// FindFirstFileA would give as a look-alike that names another file) and a name whose path is longer than
// the ANSI calls take (MAX_PATH) are left out. A pattern the system rejects finds nothing.
std::vector<std::string> FindOrdinaryFiles(const std::string& pattern);

// The name upper-cased as the ANSI calls compare names without regard to case, by the code page's rules.
std::string UpperCaseInCodePage(std::string name);

std::string ReadWholeFile(const std::string& path);

// Replaces (or creates) a file so that it holds its old or its new content at every moment: the content goes
// to a hidden temporary sibling named "~velmora-....tmp", which is flushed to disk and then put in the
// file's place by ReplaceFileA (keeping the file's attributes, ACLs and streams) or, for a new file, by
// MoveFileExA with write-through. A file held open by another program is retried a few times with growing
// pauses; one that is still held with read and write sharing but without delete sharing is then rewritten in
// place under a journal (in_place_rewrite_win.h), and one held without that much sharing keeps the refusal
// (70). The temporary is removed on every failure, and the old content stays in place.
// `beforeReplacing`, when given, runs once an interrupted rewrite of the file is finished (a running one
// refuses the replacement) and before anything is written; what it throws ends the call with the file as it was.
void ReplaceFileAtomically(const std::string& path, const std::vector<std::string_view>& content,
                           const std::function<void()>& beforeReplacing = {});

// Appends to a file, creating it when missing.
void AppendToFile(const std::string& path, const std::string& content);

// Creates a file with the content only when nothing of that name exists; false when something did.
bool CreateFileIfAbsent(const std::string& path, const std::string& content);

// Puts right what an interrupted ReplaceFileAtomically left in the folder, also after a crash or a power loss:
// a file that ReplaceFileA had moved to its backup name before it was stopped comes back to its own name, and
// leftover temporaries and backups are removed, and an interrupted in-place rewrite is finished or undone by
// its journal. What belongs to a process that still runs is left alone. Fails only when an interrupted
// rewrite can be neither finished nor undone; what else cannot be put right stays as it is.
void FinishInterruptedReplacements(const std::string& folder);

// The name under which the folder stores whatever the path names (of any kind, hidden or not), as the
// system matches names, with kUnrepresentableCharacter for what the code page cannot hold; nothing when
// there is none. A device name (CON, NUL, COM1, ...) names a device
// everywhere and comes back as given; a name with wildcards names nothing.
std::optional<std::string> StoredEntryName(const std::string& path);

// Whether a file can be kept at the path and later replaced: the path, with the longest sibling a
// replacement makes, fits the ANSI calls (MAX_PATH), and the code page holds every character of it.
bool CanKeepFileAt(const std::string& path);

// The size of the ordinary file the path names; nothing when there is none (or it cannot be looked at).
std::optional<std::uint64_t> OrdinaryFileSize(const std::string& path);

// Whether an ordinary file holds exactly the content, read in blocks (never whole); false when it is missing
// or cannot be read. While it is read no other process may write it: it is opened without write sharing, and
// only a file that another program already holds for writing (as an editor may) is read with it shared.
bool FileHolds(const std::string& path, const std::vector<std::string_view>& content);

// Keeps the file's present content as a sibling that no listing shows: `.NAME~kept-YYYYMMDD-HHMMSS-UUUUUU`
// (the time in UTC), which neither its own name nor its short name lets the `NAME.*` search match, with the
// file's attributes and the hidden one, and the file's access list where this user may give it. It is written
// to a temporary of ours first, flushed, and only then given its name, so that a kill leaves no half copy.
// Of the file's kept copies the five newest stay; older ones (names of exactly that pattern, ordinary files)
// are removed, and nothing else ever is. Where no file can be made in the folder (access denied, a
// write-protected disk) or the file may not be read, nothing is kept and nothing fails; other failures throw
// RuntimeError.
void KeepHiddenCopy(const std::string& path);

// Deletes an ordinary file; a directory or a read-only file is refused with error 75.
void RemoveOrdinaryFile(const std::string& path);

}  // namespace velmora::windows_platform
