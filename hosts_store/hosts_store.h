#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/platform.h"

namespace velmora {

// Bare names of the hosts directory's files.
inline constexpr char kActiveHostsName[] = "hosts";
inline constexpr char kDefaultBackupName[] = "hosts.Default";
inline constexpr char kVariantPrefix[] = "hosts.";

// The hosts directory, C:\Windows\System32\drivers\etc\ with exactly one backslash between parts and one
// at the end. Built from the fixed Windows directory; the platform decides where that really is.
std::string BuildHostsDir();

// The system's own files that share the variants' prefix (the TCP wrappers' `hosts.allow` and `hosts.deny`,
// Internet Connection Sharing's `hosts.ics`): the program never lists, opens or writes them as its files, on
// any platform.
bool IsSystemFileName(std::string_view bareName);

// Whether a bare name begins with the variants' prefix, in any case ("Hosts.work" does), and the name after
// that prefix (a name without it comes back unchanged): the one place the prefix is taken off a file name.
bool HasVariantPrefix(std::string_view bareName);
std::string WithoutVariantPrefix(const std::string& bareName);

// The program's only existence test and only listing: the first call takes a full path with wildcards in
// its last part, later calls give the next match. Names come back in their stored case, in the platform's
// case-blind order, never a system file; an exhausted or failed search gives empty text. It holds the
// matches of one search and nothing else.
class FileLookup {
public:
    explicit FileLookup(Platform& platform) : platform_(platform) {}
    std::string first(const std::string& pattern);
    std::string next();

private:
    Platform& platform_;
    std::vector<std::string> matches_;
    std::size_t nextMatch_ = 0;
};

// A file exists when a lookup of its full path finds a name.
bool FileExists(Platform& platform, const std::string& path);

// The two header lines that name a variant, or empty text when there is no header (flag off or no name).
std::string HeaderLines(bool header, const std::string& name);

// What a line copy writes: the header, then every line of the source followed by CR LF. A line ends at CR LF
// or at a lone CR; a lone LF stays inside its line. The pieces point into the source and the header, so a
// source whose lines already end in CR LF is written as it is, without being copied. Pure: no I/O.
TextPieces LineCopyPieces(std::string_view source, const std::string& headerLines);


// Copies one host file over another as a line copy. The source is read before the destination is touched,
// and the destination is replaced as a whole: it never holds a partial copy. Failures throw RuntimeError.
void CopyHostFile(Platform& platform, const std::string& source, const std::string& destination, bool header,
                  const std::string& name);

// A file read for a line copy and the copy's pieces, which point into it: what a copy writes, read once.
// It holds the text it was read from and nothing else; it cannot be copied or moved, since its pieces point
// into it.
class LineCopyOfFile {
public:
    // Reads the source; failures throw RuntimeError.
    LineCopyOfFile(Platform& platform, const std::string& source, std::string headerLines = {});
    LineCopyOfFile(const LineCopyOfFile&) = delete;
    LineCopyOfFile& operator=(const LineCopyOfFile&) = delete;
    const TextPieces& pieces() const { return pieces_; }
    std::uint64_t size() const { return size_; }

private:
    std::string content_;
    std::string headerLines_;
    TextPieces pieces_;
    std::uint64_t size_ = 0;
};

// Before a switch writes `switchCopy` (the line copy of the variant `switchEntry`) over `hosts`: when `hosts`
// holds what activating none of the variants would write (lines typed in by hand, or added by another
// program), has the platform keep it as a hidden copy beside it, so that nothing a switch replaces is lost.
// The variant switched to is compared first; sizes come before contents, and another variant is read only when
// its line copy could be as long as `hosts`. Failures of the platform's copy throw RuntimeError.
void KeepHostsUnlessAVariantsCopy(Platform& platform, const std::string& hostsDir, const std::string& switchEntry,
                                  const LineCopyOfFile& switchCopy);

// Whether a change of the hosts directory was made. A change that needs administrator rights that were not
// given has changed nothing; the caller tells the user so.
enum class HostsChange { Made, NeedsAdministratorRights };

// What a change the platform's privileged helper was asked for means for the hosts directory: made, or
// refused (without rights); nothing when it was not needed and the program makes the change itself.
std::optional<HostsChange> HostsChangeOf(PrivilegedChange change);

inline constexpr char kSwitchNeedsRightsMessage[] = "Switching needs administrator rights; nothing was changed.";
inline constexpr char kBackupNeedsRightsMessage[] =
    "Making the first-start backup needs administrator rights; nothing was changed.";
inline constexpr char kSwitchNotAskedMessage[] =
    "Switching needs administrator rights, but nobody could be asked for them; nothing was changed.";
inline constexpr char kBackupNotAskedMessage[] =
    "Making the first-start backup needs administrator rights, but nobody could be asked for them; nothing was "
    "changed.";
inline constexpr char kChangeNeedsRightsMessage[] =
    "Changing the hosts directory needs administrator rights; nothing was changed.";

// The box for a change whose administrator's consent could not be asked for: the message, then the
// platform's explanation (why not, what to do instead) after an empty line.
std::string ConsentNotAskedText(const char* message, const ConsentNotAsked& error);

// Saves the active hosts file as the first-start backup `hosts.Default`, through the platform's privileged
// helper where the user may not write the hosts directory. Consent that could not be asked for throws
// ConsentNotAsked; other failures throw RuntimeError.
[[nodiscard]] HostsChange MakeDefaultBackup(Platform& platform, const std::string& hostsDir);

// The variant entries of the hosts directory in listing order: every `hosts.` file, never `hosts` itself.
std::vector<std::string> ListVariants(Platform& platform, const std::string& hostsDir);

}  // namespace velmora
