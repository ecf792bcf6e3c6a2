#pragma once

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
void ReplaceFileAtomically(const std::string& path, const std::vector<std::string_view>& content,
                           bool executable = false);

// Appends to a file, creating it when missing.
void AppendToFile(const std::string& path, const std::string& content);

// Creates a file with the content only when nothing of that name exists. False when something did.
bool CreateFileIfAbsent(const std::string& path, const std::string& content);

void DeleteFile(const std::string& path);

}  // namespace velmora::linux_platform
