#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora::linux_platform {

// Rewriting a file in place, where it cannot be replaced by a rename (a bind-mounted `hosts`, a directory
// the user may not write), so that it never ends up cut: the new size is reserved before the old content
// is touched, a failed write puts the old content back, and a journal beside the file lets the next start
// finish the job after a kill or a power loss.
//
// The journal of a file NAME is three hidden siblings, `.velmora~NAME.journal` (the marker: sizes and
// checksums of the old and the new content and the file's name), `.velmora~NAME.old` (the old content) and
// `.velmora~NAME.new` (the new content). The marker is held under an exclusive flock while a rewrite runs,
// and it is complete and on disk, together with both copies, before the file is first touched.

// Call once at program start, before anything else reads or writes the hosts directory (the command-line
// switch included), with the hosts directory's native path.
//
// For every journal in the directory whose marker is not locked by a running switch:
// - a marker that was never completed is removed with its siblings (the file was not touched yet);
// - when the file is no longer the one the journal was made for (another inode: replaced by a rename since),
//   or it holds exactly the old or exactly the new content (same size and checksum), the journal is removed
//   and the file is left as it is;
// - otherwise the old content is written back from `.old` (or, if that copy does not match its checksum,
//   the new content from `.new`), synced, and the journal removed.
// Afterwards the file holds exactly its old or its new content. Nothing but journal files and the file a
// marker names (a sibling in the same directory, matched to the marker's own name) is ever touched.
//
// A missing or unreadable directory, and a journal this user may not open or lock, are skipped silently
// (nothing is changed; a run with the rights it needs recovers it later). Throws RuntimeError only when an
// interrupted rewrite was found and could not be finished (a failed write, or neither copy intact); the
// journal then stays for the next start.
void RecoverInterruptedRewrites(const std::string& nativeDirectory);

// For the file operations, before a file is read or changed: finishes the journal of `path`, if one
// was left, as RecoverInterruptedRewrites does. Throws RuntimeError (Permission denied) when a running
// switch holds it or this user may not finish it, and when it cannot be finished.
void FinishInterruptedRewriteOf(const std::string& path);

// For the file operations: rewrites the open ordinary file `targetFd` (opened for reading and writing) at
// `path` with the content, under a journal. `newContentPath` is a synced sibling that already holds the
// content; it becomes the journal's `.new`. On success the file holds the new content and no journal is
// left; on failure it throws RuntimeError and the file holds its old content (or, if even putting it back
// failed, the journal stays for RecoverInterruptedRewrites).
void RewriteInPlaceWithJournal(int targetFd, const std::string& path, const std::vector<std::string_view>& content,
                               const std::string& newContentPath);

// The same where no sibling can be made at all (a directory the user may not write). The old content is
// kept in memory: the new size is reserved first and a failed write puts the old content back, but a kill
// or power loss during the write itself can leave the file cut, since there is nowhere to keep a journal.
void RewriteInPlaceWithoutJournal(int targetFd, const std::string& path, const std::vector<std::string_view>& content);

}  // namespace velmora::linux_platform
