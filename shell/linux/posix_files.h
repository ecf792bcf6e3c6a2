#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::linux_platform {

// File operations on native paths, as bytes. Nothing is opened that could block or act on something else:
// a symlink, FIFO, device or directory under the name is refused (Path/File access error) before it is
// opened. A file whose write bits are all clear counts as read-only and is refused for writing, also for
// root. A created file gets mode 0664 less the umask: never writable for others. Failures throw
// RuntimeError with the native path.

// Reads the whole file. A rewrite of it that a kill interrupted is finished first (in_place_rewrite.h).
std::string ReadWholeFile(const std::string& path);

// Replaces a file so that it holds its old or its new content at every moment, also across a crash: the
// new content goes to a hidden, locked temporary sibling that is given the old file's owner, group,
// extended attributes (ACLs, security labels, user attributes) and mode (bit for bit, setuid/setgid
// included), synced and renamed over the file. The user must be allowed to write the file itself
// (Permission denied otherwise, whatever the directory allows).
// Where the file cannot be renamed over (a bind mount) or this user cannot give a new file its owner and
// attributes, it is rewritten in place under a journal (see in_place_rewrite.h); where no sibling can be
// made at all (a directory the user may not write), it is rewritten in place with its old content kept in
// memory. Every replacement of one file takes its lock first (replacement_lock.h): a second one waits for the
// first to end, or gives up with File already open. An interrupted rewrite of the file is finished next;
// afterwards the temporaries that killed switches left in the directory are removed.
// `executable` adds execute permission wherever the file may be read (for launchers).
// `beforeReplacing`, when given, runs once the lock is held and an interrupted rewrite is finished, before
// anything is written; what it throws ends the replacement with the file untouched.
void ReplaceFileAtomically(const std::string& path, const std::vector<std::string_view>& content,
                           bool executable = false, const std::function<void()>& beforeReplacing = {});

// Whether an ordinary file holds exactly the content, read in small blocks (never whole). False when it is
// missing or cannot be read.
bool FileHolds(const std::string& path, const std::vector<std::string_view>& content);

// Keeps the file's present content as a hidden sibling, `.NAME~kept-YYYYMMDD-HHMMSS-UUUUUU` (the time in
// UTC), with the file's owner, group, extended attributes and mode where this user can give them (otherwise
// its mode less execute, setuid and the write bit for others), synced and in the directory before it returns:
// written to a locked temporary first, so that a kill leaves no half copy. Of the file's kept copies the five
// newest stay; older ones are removed, and nothing else ever is. Where no file can be made in the directory
// (the user may write only the file itself, or a read-only file system), nothing is kept and nothing fails.
void KeepHiddenCopy(const std::string& path);

// Appends to a file, creating it when missing.
void AppendToFile(const std::string& path, const std::string& content);

// Creates a file with the content only when nothing of that name exists. False when something did.
bool CreateFileIfAbsent(const std::string& path, const std::string& content);

void RemoveOrdinaryFile(const std::string& path);

}  // namespace velmora::linux_platform
