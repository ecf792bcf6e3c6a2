#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The platform-neutral part of the guarded in-place rewrite that every platform uses where a file cannot be
// replaced as a whole: how a file's content is recognised after a crash, the journal marker's text, and the
// rule that settles a rewrite that was interrupted. It does no I/O; each platform keeps the journal's files.

// A running 64-bit FNV-1a checksum over bytes, to recognise a file's content after a crash.
class ContentChecksum {
public:
    void add(std::string_view bytes);
    std::uint64_t value() const { return hash_; }

private:
    std::uint64_t hash_ = 14695981039346656037ull;
};

struct ContentSummary {
    std::uint64_t size = 0;
    std::uint64_t checksum = 0;
    bool operator==(const ContentSummary&) const = default;
};

ContentSummary SummaryOf(const std::vector<std::string_view>& pieces);

// What a journal's marker says about one rewrite.
struct RewriteJournal {
    ContentSummary oldContent;
    ContentSummary newContent;
    // The file's identity on its volume (inode, file index): a file since replaced as a whole (an editor, a
    // later switch) is not the one the journal was made for, and must not be "restored".
    std::uint64_t fileId = 0;
    // The bare name of the rewritten file, a sibling of the marker.
    std::string targetName;
};

// The marker's text. Sizes are decimal, checksums hexadecimal; the name is given with its length because a
// file name may hold line ends. The last line tells a complete marker from a cut one.
std::string RewriteJournalText(const RewriteJournal& journal);

// The marker's content, or nothing for a marker that was cut short, is not one of ours, or names its file
// with a NUL (which no file name holds: the name would be opened cut at it). The caller still checks that
// the name is a plain sibling by its platform's rules.
std::optional<RewriteJournal> ParseRewriteJournal(std::string_view text);

// The copies a journal keeps beside the file.
enum class JournalCopy { OldContent, NewContent };

// Settles an interrupted rewrite whose file holds `now`: nothing is done when it holds exactly its old or its
// new content; otherwise the old content is written back from its copy or, when that copy is not intact,
// the new one. `copyBackIfIntact` writes a copy over the file if the copy still matches its summary and
// says whether it did. False when neither copy was intact: the file is then as it was, and the journal must
// stay.
bool SettleInterruptedRewrite(const RewriteJournal& journal, const ContentSummary& now,
                              const std::function<bool(JournalCopy, const ContentSummary&)>& copyBackIfIntact);

// The guarded step of an in-place rewrite, once the old content's copy (and its journal, if any) is
// durable: `writeNew` writes the new content over the file. When it fails, `putBackOld` writes the old
// content back and, only when that succeeded, `letGoOfCopy` removes what is then no longer needed;
// otherwise the copy stays for the next start. After a success `letGoOfCopy` runs too. The first failure
// is the one rethrown.
void WriteOverOldContent(const std::function<void()>& writeNew, const std::function<void()>& putBackOld,
                         const std::function<void()>& letGoOfCopy);

}  // namespace velmora
