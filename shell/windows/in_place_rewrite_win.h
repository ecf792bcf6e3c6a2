#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace velmora::windows_platform {

// Rewriting a file in place where another program's handle keeps it from being replaced as a whole (opened
// with read and write sharing but without delete sharing, as the C run-time's fopen, many editors and scanners
// do), so that it never ends up cut: the new size is reserved before the old content is touched, a failed
// write puts the old content back, and a journal beside the file lets the next start finish the job after a
// kill or a power loss. The journal's text and the rule that settles it are the other platforms' too
// (shell/rewrite_journal.h); this side keeps its files with the Win32 ANSI calls.
//
// The journal of a file NAME is three hidden siblings, `~velmora~NAME.journal` (the marker),
// `~velmora~NAME.old` (the old content) and `~velmora~NAME.new` (the new content); the `hosts.*` listing
// never shows them. The marker is held open without sharing while a rewrite runs (the lock: a process that
// is killed lets go of it), and it is complete and on disk, together with both copies, before the file is
// first touched.

// For every journal in the folder that no running rewrite holds: a marker that was never completed is
// removed with its copies (the file was not touched yet); a file that is no longer the one the journal was
// made for (another file index: replaced as a whole since) or that holds exactly its old or its new content
// is left as it is; otherwise the old content is written back from its copy (or, if that copy is not intact,
// the new content), flushed, and the journal removed. Nothing but journal files and the file a marker names
// (a plain sibling matched to the marker's own name) is touched. Journals this user may not open are
// skipped. Throws RuntimeError only when an interrupted rewrite was found and could not be finished; the
// journal then stays for the next start.
void RecoverInterruptedRewrites(const std::string& folder);

// Before a file is replaced: finishes the journal of `path`, if one was left, as RecoverInterruptedRewrites
// does, so that it never later "restores" over this replacement. Throws RuntimeError (Permission denied)
// when a running rewrite holds it, and when it cannot be finished.
void FinishInterruptedRewriteOf(const std::string& path);

// Rewrites the ordinary file open as `target` (for reading and writing) at `path` with the content, under a
// journal. `newContentPath` is a flushed sibling that already holds the content; it becomes the journal's
// new copy. On success the file holds the new content and no journal is left; on failure it throws
// RuntimeError and the file holds its old content (or, if even putting it back failed, the journal stays for
// RecoverInterruptedRewrites).
void RewriteInPlaceWithJournal(HANDLE target, const std::string& path, const std::vector<std::string_view>& content,
                               const std::string& newContentPath);

}  // namespace velmora::windows_platform
